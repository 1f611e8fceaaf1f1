#include "common/DisplaySettingWin32.h"
#include <windows.h>

#include <vector>

namespace orlinde {

std::string ProfileIniFile::Read(std::string_view section, std::string_view key) {
  char buffer[256] = {};
  GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), "", buffer, sizeof buffer,
                           path_.c_str());
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

bool ProfileIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(),
                                    path_.c_str()) != 0;
}

std::string SettingsFileBesideProgram() {
  // Grows the buffer until the whole path fits (a long path is never cut to MAX_PATH).
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = 0;
  for (;;) {
    length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size() - 1) break;
    if (buffer.size() > 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
  // The last "\" that is a character of its own: under code page 932 the second byte of a two-byte
  // character may be 0x5C too.
  std::size_t separator = std::string::npos;
  for (std::size_t i = 0; i < length;) {
    if (IsDBCSLeadByte(static_cast<BYTE>(buffer[i])) && i + 1 < length) {
      i += 2;
      continue;
    }
    if (buffer[i] == '\\') separator = i;
    ++i;
  }
  if (separator == std::string::npos) return {};
  return std::string(buffer.data(), separator) + "\\Orlinde.ini";
}

MonitorMode ReadMonitorModeBesideProgram() {
  const std::string path = SettingsFileBesideProgram();
  if (path.empty()) return kDefaultMonitorMode;
  ProfileIniFile file(path);
  return ReadMonitorMode(file);
}

}  // namespace orlinde
