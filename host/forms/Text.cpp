#include "Text.h"
#include <windows.h>

namespace orlinde::forms {

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

}  // namespace orlinde::forms
