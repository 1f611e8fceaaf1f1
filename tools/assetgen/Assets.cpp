#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

double Clamp01(double v) {
  return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

unsigned char ToByte(double v) {
  return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0));
}

const std::vector<Asset>& AllAssets() {
  static const std::vector<Asset> assets = {
      {"caustics.bmp", &MakeCausticsTexture},
      {"preview.bmp", &MakePreviewPicture},
      {"button_normal.bmp", &MakeButtonNormal},
      {"button_highlight.bmp", &MakeButtonHighLight},
      {"button_pressed.bmp", &MakeButtonPressed},
      {"button_disable.bmp", &MakeButtonDisable},
      {"button_selected.bmp", &MakeButtonSelected},
      {"button_highlightselect.bmp", &MakeButtonHighLightSelect},
      {"option_unticked.bmp", &MakeOptionUnticked},
      {"option_ticked.bmp", &MakeOptionTicked},
      {"streak.bmp", &MakeStreak},
      {"sparkle0.bmp", &MakeSparkle0},
      {"sparkle1.bmp", &MakeSparkle1},
      {"sparkle2.bmp", &MakeSparkle2},
      {"sparkle3.bmp", &MakeSparkle3},
      {"installer.bmp", &MakeInstallerPicture},
  };
  return assets;
}

}  // namespace assetgen
