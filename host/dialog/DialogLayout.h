// Where every control of the settings dialog sits, in pixels at 96 dots per inch (15 twips a pixel),
// with its text, and how the layout scales to other display settings. The about panel keeps its size
// at every setting: its drawing is pixel for pixel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/button/PixelBuffer.h"

namespace orlinde::dialog {

inline constexpr int kClientWidth = 481;
inline constexpr int kClientHeight = 231;
inline constexpr int kDesignDpi = 96;

// Label look: white text on a transparent background, "ＭＳ Ｐゴシック" 9.75 pt, regular, Shift-JIS.
inline constexpr char kLabelFont[] = "ＭＳ Ｐゴシック";
inline constexpr int kLabelFontCentipoints = 975;
inline constexpr int kShiftJisCharset = 128;
inline constexpr Pixel kDialogBackground = 0;  // black
inline constexpr Pixel kPanelDesignColour = Rgb(64, 64, 64);
inline constexpr Pixel kLabelColour = Hex(0xFFFFFF);

enum class ControlKind { Panel, Shape, Label, OptionMark, ComboBox, Button, PictureBox };
enum class Container { Window, MusicPanel };  // MusicPanel is Pic_C(0)

// Every control of the dialog, in layout order; the index of its entry in kDialogLayout. Names keep the
// control and its control-array index (lbl(15) is lbl_15, Img_BGM(1) is Img_BGM_1).
enum class DialogControl {
  Pic_C,
  Shape3,
  lbl_15,
  Img_BGM_1,
  lbl_BGM_1,
  BGM_Repeat,
  lbl_14,
  Img_BGM_0,
  lbl_BGM_0,
  Img_BGM_2,
  lbl_BGM_2,
  Cmd_BGM,
  lbl_Fname,
  Shape4,
  lbl_16,
  Img_Mon_0,
  lbl_Mon_0,
  Img_Mon_1,
  lbl_Mon_1,
  Img_Mon_2,
  lbl_Mon_2,
  picDisplay,
  Cmd_Set,
  Cmd_Can,
  lbl_7,
  Count
};

struct ControlPlace {
  DialogControl id;
  ControlKind kind;
  Container container;
  Rect place;              // within the container, pixels at 96 dpi
  std::string_view text;   // caption or label text; empty where there is none
  bool fixedSize = false;  // keeps its pixel size at every dpi
};

inline constexpr std::array<ControlPlace, static_cast<std::size_t>(DialogControl::Count)> kDialogLayout = {{
    {DialogControl::Pic_C, ControlKind::Panel, Container::Window, {12, 28, 453, 145}, ""},
    {DialogControl::Shape3, ControlKind::Shape, Container::MusicPanel, {20, 12, 113, 21}, ""},
    {DialogControl::lbl_15, ControlKind::Label, Container::MusicPanel, {20, 16, 111, 13}, "BGM"},
    {DialogControl::Img_BGM_1, ControlKind::OptionMark, Container::MusicPanel, {20, 40, 13, 13}, ""},
    {DialogControl::lbl_BGM_1, ControlKind::Label, Container::MusicPanel, {36, 40, 43, 13}, "音楽CD"},
    {DialogControl::BGM_Repeat, ControlKind::ComboBox, Container::MusicPanel, {92, 36, 41, 20}, ""},
    {DialogControl::lbl_14, ControlKind::Label, Container::MusicPanel, {136, 40, 66, 13}, "曲目をﾘﾋﾟｰﾄ"},
    {DialogControl::Img_BGM_0, ControlKind::OptionMark, Container::MusicPanel, {20, 60, 13, 13}, ""},
    {DialogControl::lbl_BGM_0, ControlKind::Label, Container::MusicPanel, {36, 60, 23, 13}, "無し"},
    {DialogControl::Img_BGM_2, ControlKind::OptionMark, Container::MusicPanel, {20, 80, 13, 13}, ""},
    {DialogControl::lbl_BGM_2, ControlKind::Label, Container::MusicPanel, {36, 80, 60, 13}, "MP3、WAV"},
    {DialogControl::Cmd_BGM, ControlKind::Button, Container::MusicPanel, {36, 96, 29, 21}, "..."},
    {DialogControl::lbl_Fname, ControlKind::Label, Container::MusicPanel, {68, 96, 357, 29}, ""},
    // The display modes, in the music sources' style, in the panel's free space right of the track label
    // and above the file name; the rows read each, primary, span from the top (Img_Mon(i) is MonitorMode i).
    {DialogControl::Shape4, ControlKind::Shape, Container::MusicPanel, {232, 12, 113, 21}, ""},
    {DialogControl::lbl_16, ControlKind::Label, Container::MusicPanel, {232, 16, 111, 13}, "ﾓﾆﾀｰ"},
    {DialogControl::Img_Mon_0, ControlKind::OptionMark, Container::MusicPanel, {232, 40, 13, 13}, ""},
    {DialogControl::lbl_Mon_0, ControlKind::Label, Container::MusicPanel, {248, 40, 50, 13}, "各ﾓﾆﾀｰ"},
    {DialogControl::Img_Mon_1, ControlKind::OptionMark, Container::MusicPanel, {232, 60, 13, 13}, ""},
    {DialogControl::lbl_Mon_1, ControlKind::Label, Container::MusicPanel, {248, 60, 66, 13}, "ﾌﾟﾗｲﾏﾘのみ"},
    {DialogControl::Img_Mon_2, ControlKind::OptionMark, Container::MusicPanel, {232, 80, 13, 13}, ""},
    {DialogControl::lbl_Mon_2, ControlKind::Label, Container::MusicPanel, {248, 80, 60, 13}, "全体で1つ"},
    {DialogControl::picDisplay, ControlKind::PictureBox, Container::Window, {12, 180, 309, 25}, "", true},
    {DialogControl::Cmd_Set, ControlKind::Button, Container::Window, {320, 180, 73, 25}, "設定"},
    {DialogControl::Cmd_Can, ControlKind::Button, Container::Window, {396, 180, 69, 25}, "ｷｬﾝｾﾙ"},
    {DialogControl::lbl_7, ControlKind::Label, Container::Window, {12, 204, 165, 13}, "Designed by r-vane Ver.1.0.0"},
}};

// Every entry sits at its own control's index, so a look-up by DialogControl can never miss.
constexpr bool LayoutIndexedByControl() {
  for (std::size_t i = 0; i < kDialogLayout.size(); ++i) {
    if (static_cast<std::size_t>(kDialogLayout[i].id) != i) return false;
  }
  return true;
}
static_assert(LayoutIndexedByControl(), "kDialogLayout must list the controls in DialogControl order");

// The entry of a control.
constexpr const ControlPlace& Layout(DialogControl control) {
  return kDialogLayout[static_cast<std::size_t>(control)];
}

// A length at 96 dpi for a display of `dpi` dots per inch, rounded to the nearest pixel (halves up).
int ScaleLength(int pixels, int dpi);
// A control's place at `dpi`: position always scaled, size scaled unless the control is fixed-size.
Rect ScaledPlace(const ControlPlace& control, int dpi);

}  // namespace orlinde::dialog
