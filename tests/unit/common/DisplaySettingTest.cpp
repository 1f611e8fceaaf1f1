// The display setting's reader and writer over a settings file held in memory: which mode each value
// names, what a missing file, section or key gives, and that a save sets its one key and nothing else.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/DisplaySetting.h"

namespace orlinde {
namespace {

// A settings file as the profile functions see it: sections and keys in file order; a write replaces the
// value of an existing key in place or appends the key (and its section) at the end.
class MemoryIni final : public IniValues {
 public:
  using Section = std::vector<std::pair<std::string, std::string>>;
  std::vector<std::pair<std::string, Section>> sections;
  int reads = 0;
  bool failWrites = false;

  std::string Read(std::string_view section, std::string_view key) override {
    ++reads;
    for (const auto& [name, keys] : sections) {
      if (name != section) continue;
      for (const auto& [k, v] : keys) {
        if (k == key) return v;
      }
    }
    return {};
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    if (failWrites) return false;
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
};

MemoryIni WithMonitors(const std::string& value) {
  MemoryIni file;
  file.sections = {{"Display", {{"Monitors", value}}}};
  return file;
}

TEST(DisplaySetting, EachPrimaryAndSpanInAnyCaseWithBlanksAround) {
  struct Case {
    const char* value;
    MonitorMode mode;
  };
  const Case cases[] = {
      {"each", MonitorMode::kEach},          {"primary", MonitorMode::kPrimary}, {"span", MonitorMode::kSpan},
      {"Span", MonitorMode::kSpan},          {"PRIMARY", MonitorMode::kPrimary}, {"  span\t", MonitorMode::kSpan},
      {"\tprimary ", MonitorMode::kPrimary}, {"EaCh", MonitorMode::kEach},
  };
  for (const Case& c : cases) {
    MemoryIni file = WithMonitors(c.value);
    EXPECT_EQ(c.mode, ReadMonitorMode(file)) << '"' << c.value << '"';
  }
}

TEST(DisplaySetting, MissingFileSectionKeyAndUnknownValuesAreEach) {
  MemoryIni empty;
  EXPECT_EQ(MonitorMode::kEach, ReadMonitorMode(empty)) << "no file";
  EXPECT_EQ(1, empty.reads);

  MemoryIni otherSection;
  otherSection.sections = {{"Section", {{"Monitors", "span"}}}};
  EXPECT_EQ(MonitorMode::kEach, ReadMonitorMode(otherSection)) << "the key in another section counts for nothing";

  MemoryIni otherKey;
  otherKey.sections = {{"Display", {{"Monitor", "span"}}}};
  EXPECT_EQ(MonitorMode::kEach, ReadMonitorMode(otherKey)) << "another key";

  // Near misses of the names, numbers, several words, and the Shift-JIS bytes of a full-width "ｓｐａｎ".
  for (const char* value : {"", " ", "spanned", "spa", "prim ary", "1", "2", "span primary",
                            "\x82\x93\x82\x90\x82\x81\x82\x8e", "each;", "\"span\""}) {
    MemoryIni file = WithMonitors(value);
    EXPECT_EQ(MonitorMode::kEach, ReadMonitorMode(file)) << '"' << value << '"';
  }
}

TEST(DisplaySetting, WriteSetsOnlyTheMonitorsKeyAndReadsBack) {
  // Every mode goes out under its lower-case name and comes back as itself.
  for (const MonitorMode mode : {MonitorMode::kEach, MonitorMode::kPrimary, MonitorMode::kSpan}) {
    MemoryIni file;
    ASSERT_TRUE(WriteMonitorMode(file, mode));
    EXPECT_EQ(mode, ReadMonitorMode(file));
  }
  MemoryIni file;
  WriteMonitorMode(file, MonitorMode::kPrimary);
  EXPECT_EQ("primary", file.Read("Display", "Monitors"));

  // A file with other sections and keys, the display section among them: only Monitors changes.
  MemoryIni full;
  full.sections = {{"Section", {{"BGM", " 1"}}},
                   {"Display", {{"Before", "x"}, {"Monitors", "each"}, {"After", "y"}}},
                   {"Other", {{"Key", "value"}}}};
  MemoryIni expected = full;
  expected.sections[1].second[1].second = "span";
  EXPECT_TRUE(WriteMonitorMode(full, MonitorMode::kSpan));
  EXPECT_EQ(expected.sections, full.sections);

  MemoryIni readOnly;
  readOnly.failWrites = true;
  EXPECT_FALSE(WriteMonitorMode(readOnly, MonitorMode::kSpan)) << "a failed write is reported";
}

}  // namespace
}  // namespace orlinde
