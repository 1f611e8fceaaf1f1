#include "host/settings/SettingsWin32.h"
#include <windows.h>

#include "common/CodePageWin32.h"
#include "common/SettingsFileWin32.h"

namespace orlinde {

bool Win32FileProbe::CanOpenForReading(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Windows refuses to open a folder this way; the attribute check keeps that true everywhere.
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool isFile =
      GetFileInformationByHandle(file, &info) != FALSE && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(file);
  return isFile;
}

bool FileExists(const std::string& path) {
  Win32FileProbe probe;
  return FileExists(probe, path, AnsiLeadByte);
}

void LoadSettings(BgmSettingsRecord& settings) {
  ProfileIniFile file(SettingsPath());
  Win32FileProbe probe;
  LoadSettings(settings, file, probe, AnsiLeadByte);
}

}  // namespace orlinde
