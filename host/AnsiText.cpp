#include "AnsiText.h"
#include <windows.h>

#include <vector>

namespace orlinde {

std::string Utf8ToAnsi(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (wideLength <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideLength);
  const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (ansiLength <= 0) return {};
  std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), ansiLength, nullptr, nullptr);
  return ansi;
}

bool AnsiLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace orlinde
