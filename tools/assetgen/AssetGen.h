// The built-in pictures, each made by a deterministic function from fixed numbers. The generator writes
// them as 24-bit bitmaps under assets/; a test makes them again and compares the bytes.
#pragma once

#include <string>
#include <vector>

#include "common/BitmapFile.h"

namespace assetgen {

struct Asset {
  std::string fileName;  // under assets/
  orlinde::Image24 (*make)();
};

// Every picture the programs embed, and the installer's.
const std::vector<Asset>& AllAssets();

orlinde::Image24 MakeCausticsTexture();   // 256 × 256: the water surface's reflection
orlinde::Image24 MakePreviewPicture();    // 152 × 112: the control panel's preview
orlinde::Image24 MakeInstallerPicture();  // 164 × 314: the installer's welcome and finish pages

// The button's six 64 × 25 state images (HighLightSelect is HighLight, pixel for pixel).
orlinde::Image24 MakeButtonNormal();
orlinde::Image24 MakeButtonHighLight();
orlinde::Image24 MakeButtonPressed();
orlinde::Image24 MakeButtonDisable();
orlinde::Image24 MakeButtonSelected();
orlinde::Image24 MakeButtonHighLightSelect();

// The dialog's 12 × 12 option marks.
orlinde::Image24 MakeOptionUnticked();
orlinde::Image24 MakeOptionTicked();

// The about panel's 69 × 125 light streak; StreakCentre is its centre column in a row.
orlinde::Image24 MakeStreak();
double StreakCentre(int row);

// The about panel's four drawn 28 × 28 sparkle frames; SparkleSpan is the lit square's side of frame i.
orlinde::Image24 MakeSparkle(int frame);
orlinde::Image24 MakeSparkle0();
orlinde::Image24 MakeSparkle1();
orlinde::Image24 MakeSparkle2();
orlinde::Image24 MakeSparkle3();
int SparkleSpan(int frame);

// The program icon: one square image per size, rows top-down, four bytes a pixel (red, green, blue,
// alpha), and the whole .ico file holding every size.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 256};
inline constexpr const char* kIconFileName = "orlinde.ico";  // under assets/
struct IconImage {
  int size = 0;
  std::vector<std::uint8_t> rgba;
  const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * size + x) * 4]; }
  std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * size + x) * 4]; }
};
IconImage MakeIconImage(int size);
std::vector<std::uint8_t> MakeIconFile();

// Small numeric helpers shared by the pictures.
double Clamp01(double v);
unsigned char ToByte(double v);  // 0..1 → 0..255, rounded

}  // namespace assetgen
