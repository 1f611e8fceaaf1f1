// The music settings on Windows: the file-open test and the loader over the settings file beside the
// program (common/SettingsFileWin32.h).
#pragma once

#include <string>

#include "host/settings/Settings.h"

namespace orlinde {

// CreateFileA(GENERIC_READ, OPEN_EXISTING) then CloseHandle; a folder is never a readable file.
class Win32FileProbe final : public FileProbe {
 public:
  bool CanOpenForReading(const std::string& path) override;
};

// True when `path` names a file that can be opened for reading (one trailing "\" dropped first).
bool FileExists(const std::string& path);
// Fills `settings` from the settings file beside the program with the loader's fallbacks.
void LoadSettings(BgmSettingsRecord& settings);

}  // namespace orlinde
