#include "common/DisplaySetting.h"

#include <array>
#include <cstddef>
#include <utility>

namespace orlinde {

namespace {

constexpr std::array<std::pair<MonitorMode, std::string_view>, 3> kNames{{
    {MonitorMode::kEach, "each"},
    {MonitorMode::kPrimary, "primary"},
    {MonitorMode::kSpan, "span"},
}};

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// ASCII letters only: a byte of a multi-byte character never matches a mode's name anyway.
char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerName) {
  if (text.size() != lowerName.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (LowerAscii(text[i]) != lowerName[i]) return false;
  }
  return true;
}

}  // namespace

MonitorMode ParseMonitorMode(std::string_view text) {
  const std::string_view value = TrimBlanks(text);
  for (const auto& [mode, name] : kNames) {
    if (EqualsIgnoringCase(value, name)) return mode;
  }
  return kDefaultMonitorMode;
}

std::string_view MonitorModeName(MonitorMode mode) {
  for (const auto& [known, name] : kNames) {
    if (known == mode) return name;
  }
  return kNames.front().second;  // each
}

MonitorMode ReadMonitorMode(IniValues& file) {
  return ParseMonitorMode(file.Read(display_ini::kSection, display_ini::kMonitorsKey));
}

bool WriteMonitorMode(IniValues& file, MonitorMode mode) {
  return file.Write(display_ini::kSection, display_ini::kMonitorsKey, MonitorModeName(mode));
}

}  // namespace orlinde
