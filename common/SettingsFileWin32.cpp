#include "common/SettingsFileWin32.h"
#include <windows.h>

#include <vector>

#include "common/CodePageWin32.h"

namespace orlinde {

std::string ProfileIniFile::Read(std::string_view section, std::string_view key) {
  char buffer[256] = {};
  GetPrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), "", buffer, sizeof buffer,
                           path_.c_str());
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

bool ProfileIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WritePrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), std::string(value).c_str(),
                                    path_.c_str()) != 0;
}

std::string ProgramFolder() {
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

MonitorMode ReadMonitorModeBesideProgram() {
  const std::string folder = ProgramFolder();
  if (folder.empty()) return kDefaultMonitorMode;
  ProfileIniFile file(SettingsPath(folder));
  return ReadMonitorMode(file);
}

}  // namespace orlinde
