// The music settings in "Orlinde.ini": their keys, how their numbers are written and read, the loader with
// its fallbacks, and the file-open test. Everything here talks to the system through IniValues (the one
// settings file, common/SettingsFile.h) and FileProbe, which the Win32 side implements with the profile
// functions (common/SettingsFileWin32.h) and the file functions (SettingsWin32.h).
//
// Text conventions: section and key names are given as UTF-8 (they are this program's own texts) and the
// file converts them to the ANSI code page; values and paths are ANSI bytes and pass through untouched,
// so a Shift-JIS path read from the file is handed back to the system byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/SettingsFile.h"
#include "host/settings/DecimalText.h"

namespace orlinde {

// The three background-music settings kept in "Orlinde.ini". Text is ANSI code-page bytes.
struct BgmSettingsRecord {
  std::int16_t BgmKind = 0;    // a music source below; other values play nothing
  std::int16_t BgmRepeat = 0;  // CD track to keep repeating, 0 = none
  std::string BgmFile;         // full path of the MP3 or WAV file, ANSI bytes; empty when none
};

// The music sources (BgmKind), also the index of the dialog's option for each.
inline constexpr std::int16_t kBgmNone = 0;
inline constexpr std::int16_t kBgmCd = 1;
inline constexpr std::int16_t kBgmFile = 2;

namespace ini {
inline constexpr char kSection[] = "Section";
inline constexpr char kKindKey[] = "BGM区分";
inline constexpr char kRepeatKey[] = "BGMﾘﾋﾟｰﾄ";
inline constexpr char kFileKey[] = "BGMﾌｧｲﾙ";
// Longest value that comes back from a read (the read buffer is 256 bytes with its terminating zero).
inline constexpr std::size_t kMaxValueBytes = 255;
// Section and key names are cut to this many characters before a write.
inline constexpr std::size_t kMaxNameChars = 128;
}  // namespace ini

// Opening a file for reading.
class FileProbe {
 public:
  virtual ~FileProbe() = default;
  // True when `path` names a file (not a folder) that can be opened for reading; the file is closed again.
  virtual bool CanOpenForReading(const std::string& path) = 0;
};

// A settings number as stored: a sign position (blank, or "-" for negatives) then the decimal digits.
// 2 -> " 2", -3 -> "-3", 0 -> " 0".
std::string FormatSettingNumber(std::int16_t value);

// The loader's number rule: ParseDecimal, rounded toward minus infinity (1.9 -> 1, -0.5 -> -1), and kept
// only inside -32768..32767. nullopt means "leave the field as it was".
std::optional<std::int16_t> ParseSettingNumber(std::string_view text);

// The value read from `file`, cut at its first zero byte and to at most 255 bytes.
std::string ReadIni(IniValues& file, const std::string& section, const std::string& key);

// Cuts section and key to their first 128 characters (UTF-8 sequences kept whole) and writes the value.
// True on success.
bool WriteIni(IniValues& file, const std::string& section, const std::string& key, const std::string& value);

// True when the file can be opened for reading. One trailing "\" is dropped first (a "\" that is the second
// byte of a two-byte character is not one); an empty path is false.
bool FileExists(FileProbe& probe, const std::string& path, LeadByteTest isLeadByte);

// Fills `settings` from `file`, in order kind, repeat, file, with the fallbacks: an empty number
// gives 0, a bad number leaves the field; an empty or unopenable file path clears the path and turns a file
// source (2) into no music (0).
void LoadSettings(BgmSettingsRecord& settings, IniValues& file, FileProbe& probe, LeadByteTest isLeadByte);

// Writes kind and repeat (sign-position numbers) and the file path, in that order, each through WriteIni.
// Every write runs even after a failed one; true when all three succeeded.
bool SaveSettings(const BgmSettingsRecord& settings, IniValues& file);

}  // namespace orlinde
