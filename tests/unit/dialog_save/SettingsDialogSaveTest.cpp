#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "host/dialog/SettingsDialogSave.h"
#include "tests/unit/MemoryIni.h"

namespace orlinde::dialog {
namespace {

using testing_ini::Access;
using testing_ini::MemoryIni;

TEST(SaveChoice, WritesKindRepeatAndFileInOrderWithSignColumnsThenTheDisplayMode) {
  MemoryIni file;
  BgmSettingsRecord settings{2, 9, "C:\\\x89\xb9\x8a\x79\\rain.mp3"};  // a Shift-JIS path, bytes kept
  EXPECT_TRUE(SaveChoice(settings, MonitorMode::kSpan, "12", file));
  const std::vector<Access> expected = {{"Section", "BGM区分", " 2"},
                                        {"Section", "BGMﾘﾋﾟｰﾄ", " 12"},
                                        {"Section", "BGMﾌｧｲﾙ", "C:\\\x89\xb9\x8a\x79\\rain.mp3"},
                                        {"Display", "Monitors", "span"}};
  EXPECT_EQ(expected, file.writes);
  EXPECT_EQ(12, settings.BgmRepeat);

  // Each mode under its own name, always last.
  for (const auto& [mode, name] :
       {std::pair{MonitorMode::kEach, "each"}, std::pair{MonitorMode::kPrimary, "primary"}}) {
    MemoryIni again;
    EXPECT_TRUE(SaveChoice(settings, mode, "12", again));
    ASSERT_EQ(4u, again.writes.size());
    EXPECT_EQ((Access{"Display", "Monitors", name}), again.writes[3]);
  }
}

TEST(SaveChoice, TrackTextBecomesTheRepeatValue) {
  struct Case {
    const char* text;
    std::int16_t repeat;
    const char* written;
  };
  const Case cases[] = {{"abc", 0, " 0"}, {"", 0, " 0"},    {"2.5", 2, " 2"},   {"3.5", 4, " 4"},
                        {" 7 ", 7, " 7"}, {"-3", -3, "-3"}, {"40000", 0, " 0"}, {"12abc", 0, " 0"}};
  for (const Case& c : cases) {
    MemoryIni file;
    BgmSettingsRecord settings{1, 5, ""};
    SaveChoice(settings, MonitorMode::kEach, c.text, file);
    EXPECT_EQ(c.repeat, settings.BgmRepeat) << c.text;
    ASSERT_EQ(4u, file.writes.size());
    EXPECT_EQ(c.written, file.writes[1].value) << c.text;
  }
}

TEST(SaveChoice, AnyFailedWriteIsReportedAndTheOthersStillRun) {
  // A failure early in the sequence must not be hidden by a later success.
  for (std::size_t failing = 0; failing < 4; ++failing) {
    MemoryIni file;
    file.results = {true, true, true, true};
    file.results[failing] = false;
    BgmSettingsRecord settings{0, 0, ""};
    EXPECT_FALSE(SaveChoice(settings, MonitorMode::kPrimary, "", file)) << failing;
    EXPECT_EQ(4u, file.writes.size()) << failing;
  }
}

}  // namespace
}  // namespace orlinde::dialog
