// The display setting on Windows: "Orlinde.ini" through the profile functions, and the file beside the
// running program, which is where both programs keep it.
#pragma once

#include <string>
#include <string_view>

#include "common/DisplaySetting.h"

namespace orlinde {

// One profile file: GetPrivateProfileStringA (a 256-byte buffer, empty default) and
// WritePrivateProfileStringA, which rewrites only the key it is given. Names and values pass as they are
// (ANSI bytes).
class ProfileIniFile final : public IniValues {
 public:
  explicit ProfileIniFile(std::string path) : path_(std::move(path)) {}
  std::string Read(std::string_view section, std::string_view key) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::string path_;
};

// The folder of the running program (GetModuleFileNameA, cut at its last "\", two-byte characters of the
// ANSI code page respected) with "\Orlinde.ini" appended; empty when the program's path cannot be read.
std::string SettingsFileBesideProgram();

// [Display] Monitors= of SettingsFileBesideProgram(); each when the path or the file cannot be read.
MonitorMode ReadMonitorModeBesideProgram();

}  // namespace orlinde
