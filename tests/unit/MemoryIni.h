// A settings file held in memory, as the profile functions see one: sections and keys in file order; a
// write replaces the value of an existing key in place or appends the key (and its section) at the end.
// It records every read and write, and a write can be made to fail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/SettingsFile.h"

namespace orlinde::testing_ini {

struct Access {
  std::string section, key, value;
  bool operator==(const Access&) const = default;
};

class MemoryIni final : public IniValues {
 public:
  using Section = std::vector<std::pair<std::string, std::string>>;
  std::vector<std::pair<std::string, Section>> sections;
  std::vector<Access> reads;   // value empty
  std::vector<Access> writes;  // every write asked for, failed ones too
  std::vector<bool> results;   // write n succeeds when results[n] is true; every write past its end does

  std::string Read(std::string_view section, std::string_view key) override {
    reads.push_back({std::string(section), std::string(key), {}});
    return Value(section, key);
  }

  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    const std::size_t n = writes.size();
    writes.push_back({std::string(section), std::string(key), std::string(value)});
    if (n < results.size() && !results[n]) return false;
    for (auto& [name, keys] : sections) {
      if (name != section) continue;
      for (auto& [k, v] : keys) {
        if (k == key) {
          v = value;
          return true;
        }
      }
      keys.emplace_back(key, value);
      return true;
    }
    sections.push_back({std::string(section), {{std::string(key), std::string(value)}}});
    return true;
  }

  // The value of `key` in `section` without recording a read.
  std::string Value(std::string_view section, std::string_view key) const {
    for (const auto& [name, keys] : sections) {
      if (name != section) continue;
      for (const auto& [k, v] : keys) {
        if (k == key) return v;
      }
    }
    return {};
  }
};

}  // namespace orlinde::testing_ini
