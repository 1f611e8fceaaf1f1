#include <cmath>

#include "AssetGen.h"

namespace assetgen {

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

unsigned char ToByte(double v) { return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0)); }

const std::vector<Asset>& AllAssets() {
  static const std::vector<Asset> assets = {
      {"caustics.bmp", &MakeCausticsTexture},
      {"preview.bmp", &MakePreviewPicture},
  };
  return assets;
}

}  // namespace assetgen
