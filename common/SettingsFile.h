// The settings file "Orlinde.ini" beside the programs, as both Windows programs reach it: one file read
// and written key by key (IniValues, which the Win32 side implements with the profile functions in
// SettingsFileWin32.h and the tests with a file in memory), and where it lies (the folder of the running
// program). Paths are ANSI code-page bytes: under code page 932 the second byte of a two-byte character
// may be 0x5C, the "\" byte, so a path is walked character by character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orlinde {

// One settings file, section by section and key by key. Section and key names are UTF-8 (the programs'
// own texts); values are ANSI bytes and pass as they are.
class IniValues {
 public:
  virtual ~IniValues() = default;
  // The value of `key` in `section`; empty when the file, the section or the key is missing.
  virtual std::string Read(std::string_view section, std::string_view key) = 0;
  // Sets one value, creating the file and the section when needed and keeping every other section and
  // key as it was. True on success.
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// The settings file's name, joined to a folder with a "\".
inline constexpr char kSettingsFileName[] = "\\Orlinde.ini";

// Whether a byte starts a two-byte character in the ANSI code page (Shift-JIS lead bytes under 932).
using LeadByteTest = bool (*)(unsigned char byte);
// A single-byte code page: no byte leads.
bool NoLeadBytes(unsigned char byte);

// Calls `visit` with the start of every character of `text`, a two-byte character counting as one.
template <typename Visit>
void ForEachCharacter(std::string_view text, LeadByteTest isLeadByte, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    visit(i);
    i += pair ? 2 : 1;
  }
}

// The folder part of a program path: everything before its last "\" that is a character of its own;
// empty when there is none.
std::string FolderOf(std::string_view programPath, LeadByteTest isLeadByte);

// programFolder + "\Orlinde.ini", joined as is.
std::string SettingsPath(const std::string& programFolder);

}  // namespace orlinde
