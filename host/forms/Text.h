// Text for the screen. This program's own texts are UTF-8 literals; text from the system or from files is
// ANSI (the system code page). Both are shown through the wide functions so that Japanese reads correctly
// on every system locale.
#pragma once

#include <string>
#include <string_view>

namespace orlinde::forms {

std::wstring FromUtf8(std::string_view utf8);
std::wstring FromAnsi(std::string_view ansi);

}  // namespace orlinde::forms
