#include "host/settings/Settings.h"

#include <limits>

namespace orlinde {

namespace {

// The first `count` characters of a UTF-8 name; a sequence is never split.
std::string CutUtf8(const std::string& name, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if ((byte & 0xC0) != 0x80) {
      if (characters == count) return name.substr(0, i);
      ++characters;
    }
  }
  return name;
}

void ApplyNumber(std::int16_t& field, const std::string& text) {
  if (text.empty()) {
    field = 0;
    return;
  }
  if (const auto number = ParseSettingNumber(text)) field = *number;
}

}  // namespace

std::string FormatSettingNumber(std::int16_t value) {
  const int wide = value;
  std::string text(1, wide < 0 ? '-' : ' ');
  text += std::to_string(wide < 0 ? -wide : wide);
  return text;
}

std::optional<std::int16_t> ParseSettingNumber(std::string_view text) {
  const auto number = ParseDecimal(text);
  if (!number) return std::nullopt;
  const std::int64_t value = Floor(*number);
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

std::string ReadIni(IniValues& file, const std::string& section, const std::string& key) {
  std::string value = file.Read(section, key);
  const std::size_t zero = value.find('\0');
  if (zero != std::string::npos) value.resize(zero);
  if (value.size() > ini::kMaxValueBytes) value.resize(ini::kMaxValueBytes);
  return value;
}

bool WriteIni(IniValues& file, const std::string& section, const std::string& key, const std::string& value) {
  return file.Write(CutUtf8(section, ini::kMaxNameChars), CutUtf8(key, ini::kMaxNameChars), value);
}

bool FileExists(FileProbe& probe, const std::string& path, LeadByteTest isLeadByte) {
  std::size_t lastCharacter = 0;
  ForEachCharacter(path, isLeadByte, [&](std::size_t start) { lastCharacter = start; });
  std::string name = path;
  if (!name.empty() && lastCharacter == name.size() - 1 && name.back() == '\\') name.pop_back();
  if (name.empty()) return false;
  return probe.CanOpenForReading(name);
}

void LoadSettings(BgmSettingsRecord& settings, IniValues& file, FileProbe& probe, LeadByteTest isLeadByte) {
  ApplyNumber(settings.BgmKind, ReadIni(file, ini::kSection, ini::kKindKey));
  ApplyNumber(settings.BgmRepeat, ReadIni(file, ini::kSection, ini::kRepeatKey));
  std::string music = ReadIni(file, ini::kSection, ini::kFileKey);
  if (!music.empty() && FileExists(probe, music, isLeadByte)) {
    settings.BgmFile = std::move(music);
    return;
  }
  settings.BgmFile.clear();
  if (settings.BgmKind == kBgmFile) settings.BgmKind = kBgmNone;
}

bool SaveSettings(const BgmSettingsRecord& settings, IniValues& file) {
  bool allWritten = true;
  auto write = [&](const char* key, const std::string& value) {
    if (!WriteIni(file, ini::kSection, key, value)) allWritten = false;
  };
  write(ini::kKindKey, FormatSettingNumber(settings.BgmKind));
  write(ini::kRepeatKey, FormatSettingNumber(settings.BgmRepeat));
  write(ini::kFileKey, settings.BgmFile);
  return allWritten;
}

}  // namespace orlinde
