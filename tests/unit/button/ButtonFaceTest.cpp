// Face pixels against the numbers they come from: gradient ends and direction, corner pieces copied as
// they are, edges stretched, and the generated state images' described colours.
#include <gtest/gtest.h>

#include "host/button/ButtonFace.h"
#include "tests/unit/button/TestSupport.h"

namespace {

using namespace orlinde;
using namespace orlinde::button;

// One gradient channel at row y of h, from its 8-bit ends through 16-bit vertex values.
unsigned GradientChannel(unsigned top, unsigned bottom, int y, int h) {
  return static_cast<unsigned>((top * 256LL * (h - 1 - y) + bottom * 256LL * y) / (h - 1)) >> 8;
}

TEST(ButtonFace, GradientRunsWhiteToC6C5D7AndReversedTheOtherWay) {
  for (bool reversed : {false, true}) {
    PixelBuffer face(73, 25);
    DrawGradient(face, reversed);
    const Pixel top = reversed ? Hex(0xC6C5D7) : Hex(0xFFFFFF);
    const Pixel bottom = reversed ? Hex(0xFFFFFF) : Hex(0xC6C5D7);
    for (int x : {0, 36, 72}) {
      EXPECT_EQ(top, face.At(x, 0));
      EXPECT_EQ(bottom, face.At(x, 24));
    }
    for (int y = 0; y < 25; ++y) {
      EXPECT_EQ(
          Rgb(GradientChannel(RedOf(top), RedOf(bottom), y, 25), GradientChannel(GreenOf(top), GreenOf(bottom), y, 25),
              GradientChannel(BlueOf(top), BlueOf(bottom), y, 25)),
          face.At(40, y))
          << "row " << y;
    }
  }
  EXPECT_EQ(0xE2u, GradientChannel(0xFF, 0xC6, 12, 25));  // halfway: (FF00 + C600) / 2 = E280
}

TEST(ButtonFace, FramePiecesAreTheTableInPixels) {
  const auto pieces = FramePieces(73, 25);
  const FramePiece expected[8] = {
      {{0, 0, 4, 4}, {0, 0, 4, 4}},     {{4, 0, 65, 4}, {4, 0, 56, 4}},   {{69, 0, 4, 4}, {60, 0, 4, 4}},
      {{69, 4, 4, 17}, {60, 4, 4, 17}}, {{69, 21, 4, 4}, {60, 21, 4, 4}}, {{4, 21, 65, 4}, {4, 21, 56, 4}},
      {{0, 21, 4, 4}, {0, 21, 4, 4}},   {{0, 4, 4, 17}, {0, 4, 4, 17}},
  };
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(expected[i].to, pieces[i].to) << i;
    EXPECT_EQ(expected[i].from, pieces[i].from) << i;
  }
}

class FacePaint : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(FacePaint, CornersCopiedEdgesStretchedCentreKeepsTheGradient) {
  const auto [w, h] = GetParam();
  const auto images = buttontest::GeneratedImages();
  const PixelBuffer& image = (*images)[ButtonImage::Selected];
  PixelBuffer face(w, h);
  PaintFace(face, image, false);
  auto src = [&](int offset, int run, int dstRun, int i) { return offset + (2 * i + 1) * run / (2 * dstRun); };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool left = x < 4, right = x >= w - 4, top = y < 4, bottom = y >= h - 4;
      const int sx = left ? x : right ? x - (w - 64) : src(4, 56, w - 8, x - 4);
      const int sy = top ? y : bottom ? y - (h - 25) : src(4, 17, h - 8, y - 4);
      if (left || right || top || bottom) {
        ASSERT_EQ(image.At(sx, sy), face.At(x, y)) << x << "," << y;
      } else {
        PixelBuffer gradient(w, h);
        DrawGradient(gradient, false);
        ASSERT_EQ(gradient.At(x, y), face.At(x, y)) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FacePaint,
                         ::testing::Values(std::pair{73, 25}, std::pair{69, 25}, std::pair{29, 21}, std::pair{64, 25},
                                           std::pair{200, 60}));

TEST(ButtonFace, TinyFacesAndMissingImagesLeaveTheGradient) {
  const auto images = buttontest::GeneratedImages();
  PixelBuffer tiny(6, 5);
  PaintFace(tiny, (*images)[ButtonImage::Normal], false);  // corners overlap, edges have no area
  EXPECT_EQ((*images)[ButtonImage::Normal].At(0, 0), tiny.At(0, 0));
  PixelBuffer face(40, 20), gradient(40, 20);
  PaintFace(face, PixelBuffer{}, true);
  DrawGradient(gradient, true);
  EXPECT_EQ(gradient, face);
}

TEST(ButtonFace, CaptionSitsAtHalfTheFreeHeightLessTwentyTwips) {
  EXPECT_EQ((Rect{0, 5, 73, 13}), CaptionRect(73, 25, 13));  // (375 - 195 - 20) / 2 = 80 twips
  EXPECT_EQ((Rect{0, 3, 29, 13}), CaptionRect(29, 21, 13));  // (315 - 195 - 20) / 2 = 50 twips
  EXPECT_EQ((Rect{0, 4, 73, 16}), CaptionRect(73, 25, 16));  // (375 - 240 - 20) / 2 = 57.5 twips
}

// ---- the generated state images -------------------------------------------------------------------

TEST(ButtonImages, NormalTopLeftCornerIsExact) {
  const std::uint32_t expected[4][4] = {{0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
                                        {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
                                        {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
                                        {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE}};
  const PixelBuffer normal = buttontest::ToPixels(assetgen::MakeButtonNormal());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Hex(expected[y][x]), normal.At(x, y)) << x << "," << y;
}

TEST(ButtonImages, HighLightSelectIsHighLightPixelForPixel) {
  const orlinde::Image24 a = assetgen::MakeButtonHighLight(), b = assetgen::MakeButtonHighLightSelect();
  EXPECT_EQ(a.rgb, b.rgb);
}

TEST(ButtonImages, BandsCarryTheirDescribedColours) {
  const auto images = buttontest::GeneratedImages();
  struct Probe {
    ButtonImage image;
    int x, y;
    std::uint32_t colour;
  };
  const Probe probes[] = {
      {ButtonImage::Normal, 30, 1, 0x003C74},     {ButtonImage::Normal, 1, 12, 0x003C74},
      {ButtonImage::Normal, 62, 12, 0x003C74},    {ButtonImage::Normal, 30, 23, 0x003C74},
      {ButtonImage::Normal, 30, 0, 0xE0DCC9},     {ButtonImage::Normal, 30, 24, 0xF9F8F2},
      {ButtonImage::Normal, 30, 2, 0xFEFEFE},     {ButtonImage::Normal, 30, 3, 0xFDFDFC},
      {ButtonImage::Normal, 30, 21, 0xE2DFD6},    {ButtonImage::Normal, 30, 22, 0xD6D0C5},
      {ButtonImage::HighLight, 30, 1, 0x003C74},  {ButtonImage::HighLight, 30, 2, 0xFFF0CF},
      {ButtonImage::HighLight, 30, 3, 0xFDD889},  {ButtonImage::HighLight, 30, 21, 0xF8B230},
      {ButtonImage::HighLight, 30, 22, 0xE59700}, {ButtonImage::Selected, 30, 2, 0xCEE7FF},
      {ButtonImage::Selected, 30, 3, 0xCEE7FF},   {ButtonImage::Selected, 30, 22, 0x6982EE},
      {ButtonImage::Selected, 30, 21, 0x6982EE},  {ButtonImage::Pressed, 30, 0, 0xECE9D8},
      {ButtonImage::Pressed, 0, 12, 0xECE9D8},    {ButtonImage::Pressed, 63, 12, 0xECE9D8},
      {ButtonImage::Pressed, 30, 24, 0xECE9D8},   {ButtonImage::Pressed, 30, 1, 0x003C74},
      {ButtonImage::Pressed, 30, 2, 0xD0CBBF},    {ButtonImage::Pressed, 30, 3, 0x9DA8AC},
      {ButtonImage::Pressed, 30, 22, 0xF2F1EE},   {ButtonImage::Disable, 30, 0, 0xECE9D8},
      {ButtonImage::Disable, 30, 1, 0xC9C7BA},    {ButtonImage::Disable, 30, 2, 0xF5F4EA},
      {ButtonImage::Disable, 1, 12, 0xC9C7BA},    {ButtonImage::Disable, 2, 1, 0xD8D5C7},
      {ButtonImage::Disable, 3, 1, 0xCBC9BC},     {ButtonImage::Disable, 2, 2, 0xD5D2C4},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(Hex(p.colour), (*images)[p.image].At(p.x, p.y))
        << "image " << static_cast<int>(p.image) << " at " << p.x << "," << p.y;
  }
  // Side columns of the coloured rings shade from their top colour to their bottom colour.
  const PixelBuffer& amber = (*images)[ButtonImage::HighLight];
  for (int x : {2, 3, 60, 61}) {
    EXPECT_NEAR(0xD2, static_cast<int>(GreenOf(amber.At(x, 4))), 6) << x;
    EXPECT_NEAR(0xB4, static_cast<int>(GreenOf(amber.At(x, 20))), 6) << x;
  }
}

}  // namespace
