#include "common/SettingsFile.h"

namespace orlinde {

bool NoLeadBytes(unsigned char) {
  return false;
}

std::string FolderOf(std::string_view programPath, LeadByteTest isLeadByte) {
  std::size_t separator = std::string_view::npos;
  ForEachCharacter(programPath, isLeadByte, [&](std::size_t start) {
    if (programPath[start] == '\\') separator = start;
  });
  return separator == std::string_view::npos ? std::string() : std::string(programPath.substr(0, separator));
}

std::string SettingsPath(const std::string& programFolder) {
  return programFolder + kSettingsFileName;
}

}  // namespace orlinde
