// The built-in pictures, each made by a deterministic function from fixed numbers. The generator writes
// them as 24-bit bitmaps under assets/; a test makes them again and compares the bytes.
#pragma once

#include <string>
#include <vector>

#include "BitmapFile.h"

namespace assetgen {

struct Asset {
  std::string fileName;  // under assets/
  orlinde::Image24 (*make)();
};

// Every picture the programs embed.
const std::vector<Asset>& AllAssets();

orlinde::Image24 MakeCausticsTexture();  // 256 × 256: the water surface's reflection
orlinde::Image24 MakePreviewPicture();   // 152 × 112: the control panel's preview

// Small numeric helpers shared by the pictures.
double Clamp01(double v);
unsigned char ToByte(double v);  // 0..1 → 0..255, rounded

}  // namespace assetgen
