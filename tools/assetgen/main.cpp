// Writes every built-in picture and the program icon into the folder named on the command line.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/assetgen/AssetGen.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (const assetgen::Asset& asset : assetgen::AllAssets()) {
    if (!WriteFile(folder + "/" + asset.fileName, orlinde::EncodeBitmap24(asset.make()))) return 1;
  }
  return WriteFile(folder + "/" + assetgen::kIconFileName, assetgen::MakeIconFile()) ? 0 : 1;
}
