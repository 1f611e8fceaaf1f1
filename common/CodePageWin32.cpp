#include "common/CodePageWin32.h"
#include <windows.h>

namespace orlinde {

namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return {};
  std::wstring result(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), wide);
  return result;
}

}  // namespace

std::wstring FromUtf8(std::string_view utf8) {
  return Widen(CP_UTF8, utf8);
}

std::wstring FromAnsi(std::string_view ansi) {
  return Widen(CP_ACP, ansi);
}

std::string ToAnsi(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  return ToAnsi(FromUtf8(utf8));
}

bool AnsiLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace orlinde
