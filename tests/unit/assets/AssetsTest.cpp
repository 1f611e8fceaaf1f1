// The committed pictures are exactly what the generator makes: nobody edits them by hand, and a change
// to the generator shows up as a change to the files.
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "common/BitmapFile.h"
#include "tools/assetgen/AssetGen.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Assets, CommittedFilesMatchTheGeneratorByteForByte) {
  ASSERT_FALSE(assetgen::AllAssets().empty());
  for (const assetgen::Asset& asset : assetgen::AllAssets()) {
    const std::vector<std::uint8_t> made = orlinde::EncodeBitmap24(asset.make());
    const std::vector<std::uint8_t> committed = ReadFile(std::string(ORLINDE_ASSETS_DIR) + "/" + asset.fileName);
    EXPECT_TRUE(made == committed) << asset.fileName << ": run the assets-regenerate target";
  }
}

TEST(Assets, CommittedIconMatchesTheGeneratorByteForByte) {
  EXPECT_TRUE(assetgen::MakeIconFile() == ReadFile(std::string(ORLINDE_ASSETS_DIR) + "/" + assetgen::kIconFileName))
      << "run the assets-regenerate target";
}

TEST(Assets, IconIsLightRingsOnDarkWaterInsideATransparentCorner) {
  // At every size: the corners are see-through, the centre drop is bright, and along the row through the
  // centre the light rises and falls again (rings), with dark water between them.
  for (int size : assetgen::kIconSizes) {
    const assetgen::IconImage image = assetgen::MakeIconImage(size);
    EXPECT_EQ(0, image.At(0, 0)[3]) << size;
    EXPECT_EQ(0, image.At(size - 1, size - 1)[3]) << size;
    const int c = size / 2;
    EXPECT_GT(image.At(c, c)[1], 150) << size;
    int rises = 0;
    bool dark = false;
    for (int x = c; x < size; ++x) {
      const std::uint8_t* p = image.At(x, c);
      if (p[3] < 255) break;
      if (p[1] < 120) dark = true;
      if (dark && p[1] > 150) {
        ++rises;
        dark = false;
      }
    }
    EXPECT_GE(rises, 2) << size << " px: at least two rings around the drop";
  }
}

TEST(Assets, CausticsTextureIsTheHandOverForm) {
  const std::vector<std::uint8_t> bytes = orlinde::EncodeBitmap24(assetgen::MakeCausticsTexture());
  ASSERT_EQ(54u + 196608u, bytes.size());
  EXPECT_EQ('B', bytes[0]);
  EXPECT_EQ('M', bytes[1]);
  EXPECT_EQ(54u, orlinde::ReadLe32(&bytes[10]));
  EXPECT_EQ(40u, orlinde::ReadLe32(&bytes[14]));
  EXPECT_EQ(256u, orlinde::ReadLe32(&bytes[18]));
  EXPECT_EQ(256u, orlinde::ReadLe32(&bytes[22]));  // positive: bottom-up rows
  EXPECT_EQ(24, orlinde::ReadLe16(&bytes[28]));
  EXPECT_EQ(0u, orlinde::ReadLe32(&bytes[30]));
  EXPECT_EQ(196608u, orlinde::ReadLe32(&bytes[34]));
  EXPECT_EQ(0u, orlinde::ReadLe32(&bytes[46]));
}

TEST(Assets, CausticsLookLikeLightLinesOverDeepBlueWithWarmGlints) {
  const orlinde::Image24 image = assetgen::MakeCausticsTexture();
  int deepBlue = 0, brightCyanOrWhite = 0, orange = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.At(x, y);
      if (p[2] > p[0] + 40 && p[2] > p[1] && p[2] < 160) ++deepBlue;
      if (p[1] > 190 && p[2] > 190) ++brightCyanOrWhite;
      if (p[0] > 200 && p[1] > 100 && p[1] < 200 && p[2] < 120) ++orange;
    }
  const int total = image.width * image.height;
  EXPECT_GT(deepBlue, total / 3);
  EXPECT_GT(brightCyanOrWhite, total / 50);
  EXPECT_LT(brightCyanOrWhite, total / 3);
  EXPECT_GT(orange, 5);
}

TEST(Assets, CausticsTileWithoutASeam) {
  // Opposite edges continue each other about as smoothly as neighbouring columns inside do.
  const orlinde::Image24 image = assetgen::MakeCausticsTexture();
  auto columnStep = [&](int a, int b) {
    long sum = 0;
    for (int y = 0; y < image.height; ++y)
      for (int c = 0; c < 3; ++c) sum += std::abs(image.At(a, y)[c] - image.At(b, y)[c]);
    return sum;
  };
  long inside = 0;
  for (int x = 0; x + 1 < image.width; ++x) inside += columnStep(x, x + 1);
  EXPECT_LT(columnStep(image.width - 1, 0), 2 * inside / (image.width - 1));
}

TEST(Assets, InstallerPictureIsThePageSizeWithLitWaterBelowTheDark) {
  // The installer pages show it at 164 × 314; the night above the water is dark, the water is not.
  const orlinde::Image24 image = assetgen::MakeInstallerPicture();
  ASSERT_EQ(164, image.width);
  ASSERT_EQ(314, image.height);
  auto brightness = [&](int y0, int y1) {
    long sum = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < image.width; ++x) sum += image.At(x, y)[0] + image.At(x, y)[1] + image.At(x, y)[2];
    return sum / ((y1 - y0) * image.width);
  };
  EXPECT_LT(brightness(0, 90), 60);
  EXPECT_GT(brightness(200, 314), 3 * brightness(0, 90));
}

TEST(Assets, PreviewIsGreenRingsOnDark) {
  const orlinde::Image24 image = assetgen::MakePreviewPicture();
  ASSERT_EQ(152, image.width);
  ASSERT_EQ(112, image.height);
  const std::uint8_t* corner = image.At(0, 0);
  EXPECT_LT(corner[0] + corner[1] + corner[2], 60);
  // Along the horizontal line through the centre, green rises and falls at least four times.
  int peaks = 0;
  for (int x = 77; x + 1 < 152; ++x) {
    const int g0 = image.At(x - 1, 58)[1], g1 = image.At(x, 58)[1], g2 = image.At(x + 1, 58)[1];
    if (g1 > g0 && g1 >= g2 && g1 > 120) ++peaks;
  }
  EXPECT_GE(peaks, 4);
}

}  // namespace
