#include "host/settings/SettingsWin32.h"
#include <windows.h>

#include <vector>

#include "host/settings/CodePageWin32.h"

namespace orlinde {

std::string Win32ProfileStore::ReadIni(const std::string& section, const std::string& key, const std::string& path) {
  char buffer[256] = {};
  GetPrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), "", buffer, sizeof buffer,
                           path.c_str());
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

std::int32_t Win32ProfileStore::WriteIni(const std::string& section, const std::string& key, const std::string& value,
                                         const std::string& path) {
  return WritePrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), value.c_str(), path.c_str());
}

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

std::string ProgramFolder() {
  // Grows the buffer until the whole path fits (a long path is never cut to MAX_PATH).
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size() - 1) return FolderOf(std::string_view(buffer.data(), length), AnsiLeadByte);
    if (buffer.size() > 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string SettingsPath() {
  return SettingsPath(ProgramFolder());
}

bool FileExists(const std::string& path) {
  Win32FileProbe probe;
  return FileExists(probe, path, AnsiLeadByte);
}

void LoadSettings(BgmSettingsRecord& settings) {
  Win32ProfileStore store;
  Win32FileProbe probe;
  LoadSettings(settings, store, probe, SettingsPath(), AnsiLeadByte);
}

MonitorMode LoadMonitorMode() {
  Win32ProfileStore store;
  ProfileStoreFile file(store, SettingsPath());
  return ReadMonitorMode(file);
}

}  // namespace orlinde
