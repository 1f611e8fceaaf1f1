#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "host/dialog/SettingsDialogSave.h"

namespace orlinde::dialog {
namespace {

const std::string kPath = "C:\\Saver\\Orlinde.ini";

struct Write {
  std::string section, key, value;
  bool operator==(const Write&) const = default;
};

// Records the writes; each answers with the next scripted result (1 when the script has run out).
class RecordingStore final : public ProfileStore {
 public:
  std::vector<std::int32_t> results;
  std::vector<Write> writes;

  std::string ReadIni(const std::string&, const std::string&, const std::string&) override { return {}; }
  std::int32_t WriteIni(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path) override {
    EXPECT_EQ(kPath, path);
    writes.push_back({section, key, value});
    return writes.size() <= results.size() ? results[writes.size() - 1] : 1;
  }
};

TEST(SaveChoice, WritesKindRepeatAndFileInOrderWithSignColumnsThenTheDisplayMode) {
  RecordingStore store;
  BgmSettingsRecord settings{2, 9, "C:\\\x89\xb9\x8a\x79\\rain.mp3"};  // a Shift-JIS path, bytes kept
  EXPECT_TRUE(SaveChoice(settings, MonitorMode::kSpan, "12", store, kPath));
  const std::vector<Write> expected = {{"Section", "BGM区分", " 2"},
                                       {"Section", "BGMﾘﾋﾟｰﾄ", " 12"},
                                       {"Section", "BGMﾌｧｲﾙ", "C:\\\x89\xb9\x8a\x79\\rain.mp3"},
                                       {"Display", "Monitors", "span"}};
  EXPECT_EQ(expected, store.writes);
  EXPECT_EQ(12, settings.BgmRepeat);

  // Each mode under its own name, always last.
  for (const auto& [mode, name] :
       {std::pair{MonitorMode::kEach, "each"}, std::pair{MonitorMode::kPrimary, "primary"}}) {
    RecordingStore again;
    EXPECT_TRUE(SaveChoice(settings, mode, "12", again, kPath));
    ASSERT_EQ(4u, again.writes.size());
    EXPECT_EQ((Write{"Display", "Monitors", name}), again.writes[3]);
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
    RecordingStore store;
    BgmSettingsRecord settings{1, 5, ""};
    SaveChoice(settings, MonitorMode::kEach, c.text, store, kPath);
    EXPECT_EQ(c.repeat, settings.BgmRepeat) << c.text;
    ASSERT_EQ(4u, store.writes.size());
    EXPECT_EQ(c.written, store.writes[1].value) << c.text;
  }
}

TEST(SaveChoice, AnyFailedWriteIsReportedAndTheOthersStillRun) {
  // A failure early in the sequence must not be hidden by a later success.
  for (std::size_t failing = 0; failing < 4; ++failing) {
    RecordingStore store;
    store.results = {1, 1, 1, 1};
    store.results[failing] = 0;
    BgmSettingsRecord settings{0, 0, ""};
    EXPECT_FALSE(SaveChoice(settings, MonitorMode::kPrimary, "", store, kPath)) << failing;
    EXPECT_EQ(4u, store.writes.size()) << failing;
  }
}

}  // namespace
}  // namespace orlinde::dialog
