// Writes every built-in picture into the folder named on the command line.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/assetgen/AssetGen.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (const assetgen::Asset& asset : assetgen::AllAssets()) {
    const std::vector<std::uint8_t> bytes = orlinde::EncodeBitmap24(asset.make());
    const std::string path = folder + "/" + asset.fileName;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
