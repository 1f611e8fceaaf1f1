// Stand-ins for the system's profile functions and file-open test, for the settings and dialog fuzz targets.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/settings/Settings.h"

namespace fuzzstores {

// Shift-JIS lead bytes (code page 932).
inline bool ShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The three values by key, as the profile functions would return them.
class MapIniValues final : public orlinde::IniValues {
 public:
  std::map<std::string, std::string, std::less<>> values;

  std::string Read(std::string_view, std::string_view key) override {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  }
  bool Write(std::string_view, std::string_view key, std::string_view value) override {
    values[std::string(key)] = value;
    return true;
  }
};

// A whole profile file as text, read and rewritten as the profile functions do: "[section]" lines, "key=value"
// lines with blanks around key and value dropped, names matched without regard to ASCII case, the first
// match winning; a write replaces the key's line or adds one at the end of its section, and keeps every
// other line as it is.
class IniText final : public orlinde::IniValues {
 public:
  // The file's text, split into lines once ("\n" ends a line, a "\r" before it is dropped).
  void SetText(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.emplace_back(line);
      start = end + 1;
    }
  }
  const std::vector<std::string>& Lines() const { return lines_; }

  std::string Read(std::string_view section, std::string_view key) override {
    const Location at = Find(section, key);
    return at.keyLine == kNone ? std::string() : ValueOf(lines_[at.keyLine]);
  }

  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    const Location at = Find(section, key);
    std::string line = std::string(key) + "=" + std::string(value);
    if (at.keyLine != kNone) {
      lines_[at.keyLine] = std::move(line);
    } else if (at.sectionEnd != kNone) {
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at.sectionEnd), std::move(line));
    } else {
      lines_.push_back("[" + std::string(section) + "]");
      lines_.push_back(std::move(line));
    }
    return true;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  struct Location {
    std::size_t keyLine = kNone;
    std::size_t sectionEnd = kNone;  // the index after the section's last line
  };

  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
  }
  static bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      char x = a[i];
      char y = b[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
      if (x != y) return false;
    }
    return true;
  }
  static bool IsSection(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    *name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
  }
  static std::string ValueOf(std::string_view line) { return std::string(Trim(line.substr(line.find('=') + 1))); }

  Location Find(std::string_view section, std::string_view key) const {
    Location at;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      std::string_view name;
      if (IsSection(lines_[i], &name)) {
        if (inSection) return at;  // the first matching section only
        inSection = SameName(name, section);
        if (inSection) at.sectionEnd = i + 1;
        continue;
      }
      if (!inSection) continue;
      at.sectionEnd = i + 1;
      const std::size_t equals = lines_[i].find('=');
      if (equals != std::string::npos && SameName(Trim(std::string_view(lines_[i]).substr(0, equals)), key)) {
        at.keyLine = i;
        return at;
      }
    }
    return at;
  }

  std::vector<std::string> lines_;
};

// A file can be opened when its path names something with an ending (holds a "."): enough to reach both
// outcomes of the loader's open test.
class SuffixFileProbe final : public orlinde::FileProbe {
 public:
  bool CanOpenForReading(const std::string& path) override { return path.find('.') != std::string::npos; }
};

}  // namespace fuzzstores
