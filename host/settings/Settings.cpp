#include "host/settings/Settings.h"

#include <limits>

namespace orlinde {

namespace {

// Start of every character of `text`, walking two-byte characters as one.
template <typename Visit>
void ForEachCharacter(std::string_view text, LeadByteTest isLeadByte, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    visit(i);
    i += pair ? 2 : 1;
  }
}

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

bool NoLeadBytes(unsigned char) {
  return false;
}

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

std::string ReadIni(ProfileStore& store, const std::string& section, const std::string& key, const std::string& path) {
  std::string value = store.ReadIni(section, key, path);
  const std::size_t zero = value.find('\0');
  if (zero != std::string::npos) value.resize(zero);
  if (value.size() > ini::kMaxValueBytes) value.resize(ini::kMaxValueBytes);
  return value;
}

std::int32_t WriteIni(ProfileStore& store, const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path) {
  return store.WriteIni(CutUtf8(section, ini::kMaxNameChars), CutUtf8(key, ini::kMaxNameChars), value, path);
}

bool FileExists(FileProbe& probe, const std::string& path, LeadByteTest isLeadByte) {
  std::size_t lastCharacter = 0;
  ForEachCharacter(path, isLeadByte, [&](std::size_t start) { lastCharacter = start; });
  std::string name = path;
  if (!name.empty() && lastCharacter == name.size() - 1 && name.back() == '\\') name.pop_back();
  if (name.empty()) return false;
  return probe.CanOpenForReading(name);
}

void LoadSettings(BgmSettingsRecord& settings, ProfileStore& store, FileProbe& probe, const std::string& path,
                  LeadByteTest isLeadByte) {
  ApplyNumber(settings.BgmKind, ReadIni(store, ini::kSection, ini::kKindKey, path));
  ApplyNumber(settings.BgmRepeat, ReadIni(store, ini::kSection, ini::kRepeatKey, path));
  std::string file = ReadIni(store, ini::kSection, ini::kFileKey, path);
  if (!file.empty() && FileExists(probe, file, isLeadByte)) {
    settings.BgmFile = std::move(file);
    return;
  }
  settings.BgmFile.clear();
  if (settings.BgmKind == kBgmFile) settings.BgmKind = kBgmNone;
}

bool SaveSettings(const BgmSettingsRecord& settings, ProfileStore& store, const std::string& path) {
  bool allWritten = true;
  auto write = [&](const char* key, const std::string& value) {
    if (WriteIni(store, ini::kSection, key, value, path) == 0) allWritten = false;
  };
  write(ini::kKindKey, FormatSettingNumber(settings.BgmKind));
  write(ini::kRepeatKey, FormatSettingNumber(settings.BgmRepeat));
  write(ini::kFileKey, settings.BgmFile);
  return allWritten;
}

std::string ProfileStoreFile::Read(std::string_view section, std::string_view key) {
  return ReadIni(store_, std::string(section), std::string(key), path_);
}

bool ProfileStoreFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WriteIni(store_, std::string(section), std::string(key), std::string(value), path_) != 0;
}

std::string FolderOf(std::string_view programPath, LeadByteTest isLeadByte) {
  std::size_t separator = std::string_view::npos;
  ForEachCharacter(programPath, isLeadByte, [&](std::size_t start) {
    if (programPath[start] == '\\') separator = start;
  });
  return separator == std::string_view::npos ? std::string() : std::string(programPath.substr(0, separator));
}

std::string SettingsPath(const std::string& programFolder) {
  return programFolder + ini::kFileName;
}

}  // namespace orlinde
