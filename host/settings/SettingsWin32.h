// The settings file on Windows: the profile functions, the file-open test and the program folder.
#pragma once

#include <cstdint>
#include <string>

#include "host/settings/Settings.h"

namespace orlinde {

// GetPrivateProfileStringA (256-byte zeroed buffer) / WritePrivateProfileStringA; section and key are
// converted from UTF-8 to the ANSI code page, value and path are passed as they are.
class Win32ProfileStore final : public ProfileStore {
 public:
  std::string ReadIni(const std::string& section, const std::string& key, const std::string& path) override;
  std::int32_t WriteIni(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path) override;
};

// CreateFileA(GENERIC_READ, OPEN_EXISTING) then CloseHandle; a folder is never a readable file.
class Win32FileProbe final : public FileProbe {
 public:
  bool CanOpenForReading(const std::string& path) override;
};

// Folder of the running program (GetModuleFileNameA without its last "\" and name), ANSI bytes.
std::string ProgramFolder();
// ProgramFolder() + "\Orlinde.ini".
std::string SettingsPath();

// True when `path` names a file that can be opened for reading (one trailing "\" dropped first).
bool FileExists(const std::string& path);
// Fills `settings` from SettingsPath() with the loader's fallbacks.
void LoadSettings(BgmSettingsRecord& settings);
// [Display] Monitors= of SettingsPath(): how a run uses several monitors (each when missing or unknown).
MonitorMode LoadMonitorMode();

}  // namespace orlinde
