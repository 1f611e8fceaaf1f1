// The stored property set and the public members' side effects: defaults, the round trip, values that do
// not convert, and which members repaint.
#include <gtest/gtest.h>

#include "host/button/NumberText.h"
#include "tests/unit/button/TestSupport.h"

namespace {

using namespace orlinde::button;
using buttontest::RecordingHost;

const FontDesc kAmbient{"ＭＳ Ｐゴシック", 975, 400, false, false, false, 128};

TEST(CommandProperties, AnEmptySetGivesTheReadingDefaults) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  c.ReadProperties(MemoryPropertyBag{}, kAmbient);
  EXPECT_TRUE(c.EnabledField());
  EXPECT_EQ("Command1", c.Caption());
  EXPECT_EQ(kAmbient, c.Font());
  EXPECT_EQ(1, c.FirstRun());
  EXPECT_EQ(0u, c.FontColour());
  EXPECT_TRUE(c.FaceOpaque());
  EXPECT_EQ(ButtonImage::Normal, c.LastDrawn());
}

TEST(CommandProperties, RoundTripStoresOnlyValuesOffTheirDefaultsAndCommandComesBackAsCommand1) {
  RecordingHost host;
  Command a(host, buttontest::GeneratedImages());
  a.ReadProperties(MemoryPropertyBag{}, kAmbient);
  a.SetCaption("Command");
  MemoryPropertyBag bag;
  bag.Write("Caption", "stale");  // left over from an earlier save
  a.WriteProperties(bag, kAmbient);
  EXPECT_TRUE(bag.Entries().empty());

  Command b(host, buttontest::GeneratedImages());
  b.ReadProperties(bag, kAmbient);
  EXPECT_EQ("Command1", b.Caption());

  const FontDesc bold{"Times New Roman", 1400, 700, true, false, true, 0};
  a.SetCaption("設定");
  a.SetFont(bold);
  a.SetFontColour(0x0000FF);
  a.SetVisible(0);
  a.SetEnabled(false);
  MemoryPropertyBag full;
  a.WriteProperties(full, kAmbient);
  std::vector<std::string> keys;
  for (const auto& entry : full.Entries()) keys.push_back(entry.first);
  EXPECT_EQ((std::vector<std::string>{"enabled", "caption", "font", "fontcolour", "visible"}), keys);

  Command c(host, buttontest::GeneratedImages());
  c.ReadProperties(full, kAmbient);
  EXPECT_FALSE(c.EnabledField());
  EXPECT_EQ("設定", c.Caption());
  EXPECT_EQ(bold, c.Font());
  EXPECT_EQ(0x0000FFu, c.FontColour());
  EXPECT_FALSE(c.FaceOpaque());
  EXPECT_EQ(1, c.FirstRun());
}

TEST(CommandProperties, KeysMatchWithoutRegardToCaseAndBadValuesLeaveTheirFields) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  MemoryPropertyBag bag;
  bag.Write("ENABLED", "maybe");
  bag.Write("caption", "OK");
  bag.Write("Font", "not a font");
  bag.Write("firstrun", "300");
  bag.Write("FontColour", "12.5");
  bag.Write("Visible", "7");
  c.ReadProperties(bag, kAmbient);
  EXPECT_FALSE(c.EnabledField());  // creation value kept
  EXPECT_EQ("OK", c.Caption());
  EXPECT_EQ(FontDesc{}, c.Font());
  EXPECT_EQ(0, c.FirstRun());
  EXPECT_EQ(12u, c.FontColour());  // 12.5 rounds to the even neighbour
  EXPECT_TRUE(c.FaceOpaque());
}

TEST(CommandProperties, FontEncodingRoundTripsAndRejectsMalformedText) {
  const FontDesc f{"A, B", 1050, 700, true, true, false, 128};
  EXPECT_EQ(f, DecodeFont(EncodeFont(f)));
  for (const char* bad : {"", "975,400,0,0,0", "x,400,0,0,0,0,Arial", "0,400,0,0,0,0,Arial", "975,400,0,0,0,999,A"}) {
    EXPECT_FALSE(DecodeFont(bad).has_value()) << bad;
  }
}

TEST(CommandProperties, NumberConversions) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> rounded;
  };
  for (const Case& k : {Case{"2.5", 2}, Case{"3.5", 4}, Case{"-2.5", -2}, Case{"2.51", 3}, Case{" 7\t", 7},
                        Case{"+4", 4}, Case{".5", 0}, Case{"1.", 1}, Case{"", std::nullopt}, Case{"abc", std::nullopt},
                        Case{"1e3", std::nullopt}, Case{"1 2", std::nullopt}, Case{"-", std::nullopt}}) {
    EXPECT_EQ(k.rounded, orlinde::RoundedNumber(k.text)) << k.text;
  }
  EXPECT_EQ(std::optional<bool>(true), orlinde::TextToBoolean("-1"));
  EXPECT_EQ(std::optional<bool>(true), orlinde::TextToBoolean("0.4"));
  EXPECT_EQ(std::optional<bool>(false), orlinde::TextToBoolean("false"));
  EXPECT_EQ(std::nullopt, orlinde::TextToByte("256"));
  EXPECT_EQ(std::nullopt, orlinde::TextToByte("-1"));
  EXPECT_EQ(std::nullopt, orlinde::TextToInt16("99999999999999999999"));
}

TEST(CommandMembers, VisibleReadsBack255Or0AndTheTransparentFaceIsNotRedrawn) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  c.Enabled();
  c.SetVisible(7);
  EXPECT_EQ(255, c.Visible());
  const orlinde::PixelBuffer face = c.Face();
  const int refreshes = host.refreshes;
  c.SetVisible(0);
  // The window is asked to repaint once (the face no longer shows); the face itself is left as it was.
  EXPECT_EQ(refreshes + 1, host.refreshes);
  EXPECT_EQ(face, c.Face());
  EXPECT_EQ(0, c.Visible());
  EXPECT_FALSE(c.FaceOpaque());
  EXPECT_EQ((std::vector<std::string>{"Visible", "Visible"}), host.changed);
}

TEST(CommandMembers, FirstReadOfEnabledAppliesTheFirstRunDefaults) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  EXPECT_EQ(ButtonImage::Disable, c.LastDrawn());  // fresh: disabled until Enabled is read
  EXPECT_TRUE(c.Enabled());
  EXPECT_EQ(1, c.FirstRun());
  EXPECT_EQ(ButtonImage::Normal, c.LastDrawn());
}

TEST(CommandMembers, ReadingEnabledOrFontColourRepaintsWhateverTheState) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  c.Enabled();
  c.Initialize();
  c.MouseMove();
  c.FontColour();
  EXPECT_EQ(ButtonImage::Normal, c.LastDrawn());
  EXPECT_EQ(kHighLight, c.State());
  c.SetEnabled(false);
  const int draws = host.refreshes;
  c.FontColour();  // disabled: nothing
  c.Visible();
  EXPECT_EQ(draws, host.refreshes);
  c.Enabled();
  EXPECT_EQ(ButtonImage::Disable, c.LastDrawn());
}

TEST(CommandMembers, CaptionAndFontReportButDoNotRepaintTheFace) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  c.Enabled();
  const orlinde::PixelBuffer face = c.Face();
  const auto drawn = c.LastDrawn();
  const int refreshes = host.refreshes;
  c.SetCaption("ｷｬﾝｾﾙ");
  c.SetFont(kAmbient);
  // Each change repaints the window for the caption; the face is not painted again.
  EXPECT_EQ(refreshes + 2, host.refreshes);
  EXPECT_EQ(face, c.Face());
  EXPECT_EQ(drawn, c.LastDrawn());
  EXPECT_EQ((std::vector<std::string>{"Caption", "Font"}), host.changed);
}

TEST(CommandMembers, StoredFirstRunZeroKeepsResettingTheCaptionColourUntilEnabledIsRead) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  MemoryPropertyBag bag;
  bag.Write("FirstRun", "0");
  bag.Write("FontColour", "255");
  c.ReadProperties(bag, kAmbient);
  EXPECT_EQ(0u, c.FontColour());  // reset by the RedrawNormal that ends reading
  c.SetFontColour(255);
  EXPECT_EQ(0u, c.FontColour());
  c.Enabled();
  c.SetFontColour(255);
  EXPECT_EQ(255u, c.FontColour());
}

TEST(CommandMembers, GreyedCaptionIsDrawnEmbossedInThePlatformsThreeDColours) {
  RecordingHost host;
  Command c(host, buttontest::GeneratedImages());
  c.Resized(73, 25);
  c.Enabled();
  c.SetFontColour(0x123456);
  EXPECT_EQ((std::vector<TextPass>{{0, 0, 0x123456}}), c.CaptionPasses());
  c.SetEnabled(false);
  EXPECT_EQ((std::vector<TextPass>{{1, 1, 0xFFFFFF}, {0, 0, 0x808080}}), c.CaptionPasses());
  EXPECT_EQ((std::vector<TextPass>{{1, 1, 0xEEEEEE}, {0, 0, 0x404040}}),
            c.CaptionPasses(SystemColours{0xEEEEEE, 0x404040}));
}

}  // namespace
