#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/settings/Settings.h"
#include "tests/unit/MemoryIni.h"

namespace orlinde {
namespace {

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC.
bool ShiftJisLead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// "表" in Shift-JIS: its second byte is the backslash.
const std::string kHyo = "\x95\x5C";

using testing_ini::Access;
using testing_ini::MemoryIni;

// A settings file in memory with its music keys in "Section", and the files that can be opened.
class FakeSystem final : public FileProbe {
 public:
  MemoryIni file;
  std::set<std::string> openable;
  std::vector<std::string> probed;

  void SetValues(const std::map<std::string, std::string>& values) {
    file.sections = {{"Section", {values.begin(), values.end()}}};
  }
  bool CanOpenForReading(const std::string& path) override {
    probed.push_back(path);
    return openable.count(path) != 0;
  }
};

TEST(SettingNumber, WrittenWithASignPosition) {
  const std::vector<std::pair<std::int16_t, std::string>> cases = {{2, " 2"},         {-3, "-3"},         {0, " 0"},
                                                                   {32767, " 32767"}, {-32768, "-32768"}, {10, " 10"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatSettingNumber(value), text) << value;
}

TEST(SettingNumber, ReadWithFloorAndRange) {
  const std::vector<std::pair<std::string, std::optional<std::int16_t>>> cases = {
      {"2", 2},
      {" 2 ", 2},
      {"\t2\t", 2},
      {"2.7", 2},
      {"1.9", 1},
      {"-0.5", -1},
      {"-2.0", -2},
      {"-2.000001", -3},
      {"+5", 5},
      {".5", 0},
      {"5.", 5},
      {"00002", 2},
      {"32767", 32767},
      {"32767.9", 32767},
      {"-32768", -32768},
      {"32768", {}},
      {"-32768.5", {}},
      {"-32769", {}},
      {"abc", {}},
      {"2a", {}},
      {"1e3", {}},
      {"0x10", {}},
      {"1,000", {}},
      {"2,5", {}},
      {".", {}},
      {"-", {}},
      {"  ", {}},
      {"2 3", {}},
      {"99999999999999999999999", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseSettingNumber(text), expected) << '"' << text << '"';
}

struct LoadCase {
  const char* name;
  std::map<std::string, std::string> file;
  bool fileOpens;
  BgmSettingsRecord before;
  BgmSettingsRecord after;
};

const std::string kMusic = "C:\\Music\\rain.mp3";

class Loader : public testing::TestWithParam<LoadCase> {};

TEST_P(Loader, FillsTheRecordWithFallbacks) {
  const LoadCase& c = GetParam();
  FakeSystem system;
  system.SetValues(c.file);
  if (c.fileOpens) system.openable.insert(kMusic);
  BgmSettingsRecord settings = c.before;
  LoadSettings(settings, system.file, system, ShiftJisLead);
  EXPECT_EQ(settings.BgmKind, c.after.BgmKind);
  EXPECT_EQ(settings.BgmRepeat, c.after.BgmRepeat);
  EXPECT_EQ(settings.BgmFile, c.after.BgmFile);
  EXPECT_EQ(system.file.reads,
            (std::vector<Access>{
                {"Section", ini::kKindKey, ""}, {"Section", ini::kRepeatKey, ""}, {"Section", ini::kFileKey, ""}}));
}

const std::string K = ini::kKindKey, R = ini::kRepeatKey, F = ini::kFileKey;

INSTANTIATE_TEST_SUITE_P(
    Files, Loader,
    testing::Values(LoadCase{"NoFile", {}, false, {}, {0, 0, ""}},
                    LoadCase{"FileSourceWithoutPath", {{K, " 2"}, {R, " 0"}, {F, ""}}, false, {}, {0, 0, ""}},
                    LoadCase{"CdWithoutFileKey", {{K, " 1"}, {R, " 7"}}, false, {}, {1, 7, ""}},
                    LoadCase{"LettersAsKind", {{K, "abc"}, {R, "x"}}, false, {}, {0, 0, ""}},
                    LoadCase{"BlanksAround", {{K, "  2  "}, {F, kMusic}}, true, {}, {2, 0, kMusic}},
                    LoadCase{"Fraction", {{K, "2.7"}, {R, "3.9"}, {F, kMusic}}, true, {}, {2, 3, kMusic}},
                    LoadCase{"AboveRange", {{K, "40000"}, {R, "-40000"}}, false, {}, {0, 0, ""}},
                    LoadCase{"UnknownKind", {{K, "5"}}, false, {}, {5, 0, ""}},
                    LoadCase{"MissingMusicFile", {{K, " 2"}, {R, " 4"}, {F, kMusic}}, false, {}, {0, 4, ""}},
                    LoadCase{"CdIgnoresMissingFile", {{K, " 1"}, {R, " 4"}, {F, kMusic}}, false, {}, {1, 4, ""}},
                    LoadCase{"BadNumberKeepsField", {{K, "abc"}, {R, "x"}}, false, {7, 9, "old"}, {7, 9, ""}},
                    LoadCase{"EmptyNumberIsZero", {{F, kMusic}}, true, {7, 9, "old"}, {0, 0, kMusic}},
                    LoadCase{"NegativeRepeat", {{K, "1"}, {R, "-3"}}, false, {}, {1, -3, ""}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(Loader, ValueIsCutToItsFirst255Bytes) {
  FakeSystem system;
  const std::string longPath = "C:\\" + std::string(297, 'a');
  system.SetValues({{F, longPath}, {K, " 2"}});
  system.openable.insert(longPath.substr(0, 255));
  BgmSettingsRecord settings;
  LoadSettings(settings, system.file, system, ShiftJisLead);
  EXPECT_EQ(settings.BgmFile, longPath.substr(0, 255));
  EXPECT_EQ(settings.BgmKind, 2);
}

TEST(FileExists, DropsOneTrailingBackslashOnly) {
  struct Case {
    std::string path;
    std::vector<std::string> probed;  // what reaches the system
    LeadByteTest lead;
  };
  const std::vector<Case> cases = {
      {"", {}, ShiftJisLead},
      {"\\", {}, ShiftJisLead},
      {"C:\\a.mp3", {"C:\\a.mp3"}, ShiftJisLead},
      {"C:\\Music\\", {"C:\\Music"}, ShiftJisLead},
      {"C:\\Music\\\\", {"C:\\Music\\"}, ShiftJisLead},
      // A name ending in a two-byte character whose second byte is 0x5C keeps that byte.
      {"C:\\" + kHyo, {"C:\\" + kHyo}, ShiftJisLead},
      {"C:\\" + kHyo + "\\", {"C:\\" + kHyo}, ShiftJisLead},
      {"C:\\a" + kHyo, {"C:\\a" + kHyo}, ShiftJisLead},
      // In a single-byte code page the same byte is a backslash.
      {"C:\\" + kHyo, {"C:\\\x95"}, NoLeadBytes},
  };
  for (const Case& c : cases) {
    FakeSystem system;
    system.openable.insert("C:\\Music");
    const bool expected = !c.probed.empty() && c.probed[0] == "C:\\Music";
    EXPECT_EQ(FileExists(system, c.path, c.lead), expected) << c.path;
    EXPECT_EQ(system.probed, c.probed) << c.path;
  }
}

TEST(WriteIni, CutsNamesTo128Characters) {
  std::string wideKey;
  for (int i = 0; i < 130; ++i) wideKey += "区";  // three UTF-8 bytes each
  const std::string longSection(200, 's');
  MemoryIni file;
  EXPECT_TRUE(WriteIni(file, longSection, wideKey, "v"));
  ASSERT_EQ(file.writes.size(), 1u);
  EXPECT_EQ(file.writes[0].section, std::string(128, 's'));
  EXPECT_EQ(file.writes[0].key, wideKey.substr(0, 128 * 3));
  WriteIni(file, std::string(128, 's'), "BGM", "v");
  EXPECT_EQ(file.writes[1].section, std::string(128, 's'));
}

TEST(SaveSettings, WritesKindRepeatAndFileInOrder) {
  MemoryIni file;
  const std::string sjisPath = "C:\\" + kHyo + "\\a b.mp3";
  EXPECT_TRUE(SaveSettings(BgmSettingsRecord{2, -3, sjisPath}, file));
  EXPECT_TRUE(SaveSettings(BgmSettingsRecord{0, 0, ""}, file));
  const std::vector<Access> expected = {
      {"Section", K, " 2"}, {"Section", R, "-3"}, {"Section", F, sjisPath},
      {"Section", K, " 0"}, {"Section", R, " 0"}, {"Section", F, ""},
  };
  EXPECT_EQ(file.writes, expected);
  // A failed write is reported, and the writes after it still run.
  MemoryIni failing;
  failing.results = {true, false, true};
  EXPECT_FALSE(SaveSettings(BgmSettingsRecord{1, 2, ""}, failing));
  EXPECT_EQ(3u, failing.writes.size());
}

}  // namespace
}  // namespace orlinde
