// The display setting's reader and writer over a settings file held in memory: which mode each value
// names, what a missing file, section or key gives, and that a save sets its one key and nothing else.
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "common/DisplaySetting.h"
#include "tests/unit/MemoryIni.h"

namespace orlinde {
namespace {

using testing_ini::MemoryIni;

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
  EXPECT_EQ(1u, empty.reads.size());

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
  EXPECT_EQ("primary", file.Value("Display", "Monitors"));

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
  readOnly.results = {false};
  EXPECT_FALSE(WriteMonitorMode(readOnly, MonitorMode::kSpan)) << "a failed write is reported";
}

}  // namespace
}  // namespace orlinde
