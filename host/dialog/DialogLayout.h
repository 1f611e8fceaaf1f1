// Where every control of the settings dialog sits, in pixels at 96 dots per inch (15 twips a pixel),
// with its text, and how the layout scales to other display settings. The about panel keeps its size
// at every setting: its drawing is pixel for pixel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "PixelBuffer.h"

namespace orlinde::dialog {

inline constexpr char kDialogCaption[] = "<Orlinde>";
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

struct ControlPlace {
  std::string_view name;
  int index;  // control-array index, −1 for a single control
  ControlKind kind;
  Container container;
  Rect place;              // within the container, pixels at 96 dpi
  std::string_view text;   // caption or label text; empty where there is none
  bool fixedSize = false;  // keeps its pixel size at every dpi
};

inline constexpr std::array<ControlPlace, 17> kDialogLayout = {{
    {"Pic_C", 0, ControlKind::Panel, Container::Window, {12, 28, 453, 145}, ""},
    {"Shape3", 3, ControlKind::Shape, Container::MusicPanel, {20, 12, 113, 21}, ""},
    {"lbl", 15, ControlKind::Label, Container::MusicPanel, {20, 16, 111, 13}, "BGM"},
    {"Img_BGM", 1, ControlKind::OptionMark, Container::MusicPanel, {20, 40, 13, 13}, ""},
    {"lbl_BGM", 1, ControlKind::Label, Container::MusicPanel, {36, 40, 43, 13}, "音楽CD"},
    {"BGM_Repeat", -1, ControlKind::ComboBox, Container::MusicPanel, {92, 36, 41, 20}, ""},
    {"lbl", 14, ControlKind::Label, Container::MusicPanel, {136, 40, 66, 13}, "曲目をﾘﾋﾟｰﾄ"},
    {"Img_BGM", 0, ControlKind::OptionMark, Container::MusicPanel, {20, 60, 13, 13}, ""},
    {"lbl_BGM", 0, ControlKind::Label, Container::MusicPanel, {36, 60, 23, 13}, "無し"},
    {"Img_BGM", 2, ControlKind::OptionMark, Container::MusicPanel, {20, 80, 13, 13}, ""},
    {"lbl_BGM", 2, ControlKind::Label, Container::MusicPanel, {36, 80, 60, 13}, "MP3、WAV"},
    {"Cmd_BGM", -1, ControlKind::Button, Container::MusicPanel, {36, 96, 29, 21}, "..."},
    {"lbl_Fname", -1, ControlKind::Label, Container::MusicPanel, {68, 96, 357, 29}, ""},
    {"picDisplay", -1, ControlKind::PictureBox, Container::Window, {12, 180, 309, 25}, "", true},
    {"Cmd_Set", -1, ControlKind::Button, Container::Window, {320, 180, 73, 25}, "設定"},
    {"Cmd_Can", -1, ControlKind::Button, Container::Window, {396, 180, 69, 25}, "ｷｬﾝｾﾙ"},
    {"lbl", 7, ControlKind::Label, Container::Window, {12, 204, 165, 13}, "Designed by r-vane Ver.1.0.0"},
}};

// The entry for a control, or nullopt.
std::optional<ControlPlace> FindControl(std::string_view name, int index = -1);

// A length at 96 dpi for a display of `dpi` dots per inch, rounded to the nearest pixel (halves up).
int ScaleLength(int pixels, int dpi);
// A control's place at `dpi`: position always scaled, size scaled unless the control is fixed-size.
Rect ScaledPlace(const ControlPlace& control, int dpi);

}  // namespace orlinde::dialog
