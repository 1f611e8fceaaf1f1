// The settings file on Windows, for the host and the renderer alike: the profile functions over one file,
// the folder of the running program (where both programs keep "Orlinde.ini"), and the display setting
// read from there.
#pragma once

#include <string>
#include <string_view>

#include "common/DisplaySetting.h"
#include "common/SettingsFile.h"

namespace orlinde {

// One profile file: GetPrivateProfileStringA (a zeroed 256-byte buffer, empty default) and
// WritePrivateProfileStringA, which rewrites only the key it is given. Section and key names are
// converted from UTF-8 to the ANSI code page; values and the path pass as they are (ANSI bytes).
class ProfileIniFile final : public IniValues {
 public:
  explicit ProfileIniFile(std::string path) : path_(std::move(path)) {}
  std::string Read(std::string_view section, std::string_view key) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The folder of the running program: GetModuleFileNameA into a buffer grown until the whole path fits (a
// long path is never cut to MAX_PATH), cut at its last "\" with the code page's two-byte characters
// respected. ANSI bytes; empty when the program's path cannot be read.
std::string ProgramFolder();

// ProgramFolder() + "\Orlinde.ini".
std::string SettingsPath();

// [Display] Monitors= of SettingsPath(): how a run uses several monitors; each when the program's folder
// or the file cannot be read.
MonitorMode ReadMonitorModeBesideProgram();

}  // namespace orlinde
