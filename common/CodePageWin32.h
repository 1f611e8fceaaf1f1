// The one converter between the programs' texts and the system's: UTF-8 (their own texts),
// the ANSI code page (CP_ACP: what is stored or exchanged — settings, MCI strings, paths) and UTF-16
// (what is shown, through the wide functions, so that Japanese reads correctly on every system locale).
#pragma once

#include <string>
#include <string_view>

namespace orlinde {

// UTF-8 -> UTF-16.
std::wstring FromUtf8(std::string_view utf8);
// ANSI code page -> UTF-16.
std::wstring FromAnsi(std::string_view ansi);
// UTF-16 -> ANSI code page. Characters the code page lacks become its default character.
std::string ToAnsi(std::wstring_view wide);
// UTF-8 -> ANSI code page, through UTF-16. Embedded zero bytes convert as they are.
std::string Utf8ToAnsi(std::string_view utf8);

// True when `byte` is a lead byte of a two-byte character in the ANSI code page (IsDBCSLeadByte).
bool AnsiLeadByte(unsigned char byte);

}  // namespace orlinde
