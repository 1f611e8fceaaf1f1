// The dialog's rules: controls per source, the track list and text, the file dialog's filter, the window
// placement and the layout table.
#include <algorithm>
#include <gtest/gtest.h>

#include "host/dialog/DialogLayout.h"
#include "host/dialog/DialogRules.h"

namespace {

using namespace orlinde::dialog;

TEST(DialogRules, EachSourceTicksItsMarkAndEnablesOnlyItsControl) {
  struct Case {
    std::int16_t kind;
    SourceControls expected;
  };
  for (const Case& c : {Case{0, {{true, false, false}, false, false}}, Case{1, {{false, true, false}, true, false}},
                        Case{2, {{false, false, true}, false, true}}, Case{3, {{false, false, false}, false, false}},
                        Case{-1, {{false, false, false}, false, false}}}) {
    EXPECT_EQ(c.expected, ControlsForSource(c.kind)) << c.kind;
  }
}

TEST(DialogRules, TrackListHolds31EntriesTheFirstEmpty) {
  const std::vector<std::string> entries = RepeatListEntries();
  ASSERT_EQ(31u, entries.size());
  EXPECT_EQ("", entries[0]);
  EXPECT_EQ("1", entries[1]);
  EXPECT_EQ("30", entries[30]);
  EXPECT_EQ("", FormatDigitMask(0));
  EXPECT_EQ("5", FormatDigitMask(5));
  EXPECT_EQ("-5", FormatDigitMask(-5));
  EXPECT_EQ("123", FormatDigitMask(123));
}

TEST(DialogRules, TrackTextRoundsHalvesToEvenAndAnythingElseIsZero) {
  struct Case {
    const char* text;
    std::int16_t repeat;
  };
  for (const Case& c :
       {Case{"2.5", 2}, Case{"3.5", 4}, Case{"12", 12}, Case{" 7 ", 7}, Case{"-2.5", -2}, Case{"0.5", 0},
        Case{"1.5", 2}, Case{"2.500001", 3}, Case{"abc", 0}, Case{"", 0}, Case{"5abc", 0}, Case{"32767", 32767},
        Case{"-32768", -32768}, Case{"32768", 0}, Case{"32767.5", 0}, Case{"-32768.5", -32768}}) {
    EXPECT_EQ(c.repeat, TrackTextToRepeat(c.text)) << c.text;
  }
}

TEST(DialogRules, FileDialogTextsAndBuffer) {
  const std::string block = FilterBlock();
  EXPECT_EQ(std::string("BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0\0", sizeof("BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0\0") - 1), block);
  EXPECT_EQ(std::string("ﾌｧｲﾙを開く"), kFileDialogTitle);
  const char buffer[8] = {'C', ':', '\\', 'a', '\0', 'x', 'y', 'z'};
  EXPECT_EQ("C:\\a", PathFromFileBuffer(buffer, sizeof buffer));
  const char full[3] = {'a', 'b', 'c'};  // no zero byte: never read past the buffer
  EXPECT_EQ("abc", PathFromFileBuffer(full, sizeof full));
}

TEST(DialogRules, WindowIsCentredAcrossAndAtOneThirdDown) {
  EXPECT_EQ((Point{268, 170}), DialogPosition(1024, 768, 487, 257));
  EXPECT_EQ((Point{-6, -3}), DialogPosition(475, 248, 487, 257));  // truncated toward zero
}

TEST(DialogLayout, ControlsSitInsideTheirContainersAtDesignDpi) {
  const ControlPlace& panel = Layout(DialogControl::Pic_C);
  for (const ControlPlace& c : kDialogLayout) {
    const int w = c.container == Container::Window ? kClientWidth : panel.place.width;
    const int h = c.container == Container::Window ? kClientHeight : panel.place.height;
    const auto id = static_cast<int>(c.id);
    EXPECT_LE(c.place.x + c.place.width, w) << id;
    EXPECT_LE(c.place.y + c.place.height, h) << id;
    EXPECT_EQ(c.place, ScaledPlace(c, 96)) << id;
  }
}

TEST(DialogLayout, TheDisplayModesSitInTheMusicPanelsFreeSpaceOverlappingNothing) {
  // The free space: right of the track label, above the file name.
  const orlinde::Rect freeSpace = orlinde::Rect::FromEdges(205, 0, 453, 95);
  const DialogControl group[] = {DialogControl::Shape4,    DialogControl::lbl_16,    DialogControl::Img_Mon_0,
                                 DialogControl::lbl_Mon_0, DialogControl::Img_Mon_1, DialogControl::lbl_Mon_1,
                                 DialogControl::Img_Mon_2, DialogControl::lbl_Mon_2};
  for (const DialogControl id : group) {
    const ControlPlace& c = Layout(id);
    EXPECT_EQ(Container::MusicPanel, c.container) << static_cast<int>(id);
    EXPECT_GE(c.place.x, freeSpace.x) << static_cast<int>(id);
    EXPECT_GE(c.place.y, freeSpace.y) << static_cast<int>(id);
    EXPECT_LE(c.place.Right(), freeSpace.Right()) << static_cast<int>(id);
    EXPECT_LE(c.place.Bottom(), freeSpace.Bottom()) << static_cast<int>(id);
    for (const ControlPlace& other : kDialogLayout) {
      if (other.container != Container::MusicPanel ||
          std::find(std::begin(group), std::end(group), other.id) != std::end(group)) {
        continue;
      }
      const bool apart = c.place.Right() <= other.place.x || other.place.Right() <= c.place.x ||
                         c.place.Bottom() <= other.place.y || other.place.Bottom() <= c.place.y;
      EXPECT_TRUE(apart) << static_cast<int>(id) << " overlaps " << static_cast<int>(other.id);
    }
  }
  // Each mark sits level with its label, in the rows each, primary, span from the top.
  EXPECT_LT(Layout(DialogControl::Img_Mon_0).place.y, Layout(DialogControl::Img_Mon_1).place.y);
  EXPECT_LT(Layout(DialogControl::Img_Mon_1).place.y, Layout(DialogControl::Img_Mon_2).place.y);
  EXPECT_EQ(Layout(DialogControl::Img_Mon_1).place.y, Layout(DialogControl::lbl_Mon_1).place.y);
}

TEST(DialogLayout, OtherDpisScaleEverythingButTheAboutPanelsSize) {
  EXPECT_EQ((orlinde::Rect{15, 225, 309, 25}), ScaledPlace(Layout(DialogControl::picDisplay), 120));
  EXPECT_EQ((orlinde::Rect{400, 225, 91, 31}), ScaledPlace(Layout(DialogControl::Cmd_Set), 120));
  EXPECT_EQ(18, ScaleLength(12, 144));
  EXPECT_EQ(3, ScaleLength(2, 120));  // 2.5 rounds up
}

}  // namespace
