// Conversion of this program's own UTF-8 texts to the system's ANSI code page (Windows only).
#pragma once

#include <string>
#include <string_view>

namespace orlinde {

// UTF-8 -> UTF-16 -> ANSI code page (CP_ACP). Characters the code page lacks become its default character.
std::string Utf8ToAnsi(std::string_view utf8);

// True when `byte` is a lead byte of a two-byte character in the ANSI code page (IsDBCSLeadByte).
bool AnsiLeadByte(unsigned char byte);

}  // namespace orlinde
