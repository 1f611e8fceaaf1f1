// The about panel: the streak's sweep, the sparkle frames, the blend on known pixels, streak light only
// on the letters, and the stored pictures' described shapes. Letters are synthetic blocks.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "host/dialog/AboutPanel.h"
#include "tools/assetgen/AssetGen.h"

namespace {

using namespace orlinde;
using namespace orlinde::dialog;

PixelBuffer ToPixels(const Image24& image) {
  return PixelBuffer::FromRgb24(image.width, image.height, image.rgb.data(), image.rgb.size());
}

// Three block letters across the panel, where the streak and the sparkle pass.
bool IsLetter(int x, int y) {
  const bool rows = y >= 4 && y < 20;
  return rows && ((x >= 10 && x < 30) || (x >= 140 && x < 170) || (x >= 280 && x < 300));
}

struct Layers {
  PixelBuffer live{kPanelWidth, kPanelHeight}, blackOnWhite{kPanelWidth, kPanelHeight, Hex(0xFFFFFF)},
      whiteOnBlack{kPanelWidth, kPanelHeight};
  Layers() {
    for (int y = 0; y < kPanelHeight; ++y)
      for (int x = 0; x < kPanelWidth; ++x)
        if (IsLetter(x, y)) {
          live.At(x, y) = kTextColour;
          blackOnWhite.At(x, y) = 0;
          whiteOnBlack.At(x, y) = Hex(0xFFFFFF);
        }
  }
};

AboutPanel MakePanel() {
  AboutPanel panel(ToPixels(assetgen::MakeStreak()),
                   {ToPixels(assetgen::MakeSparkle0()), ToPixels(assetgen::MakeSparkle1()),
                    ToPixels(assetgen::MakeSparkle2()), ToPixels(assetgen::MakeSparkle3())});
  const Layers layers;
  panel.SetUp(layers.live, layers.blackOnWhite, layers.whiteOnBlack);
  return panel;
}

TEST(PanelBlend, AddsTheSourceScaledBy254Of255AndClamps) {
  EXPECT_EQ(0, PanelBlend.blendOp);
  EXPECT_EQ(0x20, PanelBlend.blendFlags);
  EXPECT_EQ(254, PanelBlend.sourceConstantAlpha);
  EXPECT_EQ(1, PanelBlend.alphaFormat);
  struct Case {
    Pixel dst, src, expected;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{0, Rgb(255, 255, 255), Rgb(254, 254, 254)},
                        Case{Rgb(10, 20, 30), Rgb(1, 1, 1), Rgb(10, 20, 30)},  // 254 / 255 truncates to 0
                        Case{0, Rgb(128, 128, 128), Rgb(127, 127, 127)},
                        Case{kTextColour, Rgb(174, 174, 174), Rgb(255, 255, 255)},  // 200 + 173, 100 + 173
                        Case{kTextColour, Rgb(60, 60, 60), Rgb(255, 255, 159)}}) {
    EXPECT_EQ(c.expected, BlendPixel(c.dst, c.src));
  }
}

TEST(AboutPanel, HighlightSweepsFromMinus69By8AndRestartsPast309) {
  AboutPanel panel = MakePanel();
  EXPECT_EQ(-69, panel.HiliteX());
  std::vector<int> xs;
  for (int frame = 0; frame < 3 * 48; ++frame) xs.push_back(panel.DrawFrame().hiliteX);
  for (int frame = 0; frame < 3 * 48; ++frame) ASSERT_EQ(-69 + 8 * (frame % 48), xs[frame]) << frame;
  EXPECT_EQ(307, xs[47]);
  EXPECT_TRUE(std::none_of(xs.begin(), xs.end(), [](int x) { return x > 309; }));
}

TEST(AboutPanel, SparklePlaysZeroToThreeAndBackOncePerSweep) {
  AboutPanel panel = MakePanel();
  for (int sweep = 0; sweep < 3; ++sweep) {
    std::vector<int> stars, at;
    for (int frame = 0; frame < 48; ++frame) {
      const AboutPanel::FrameReport r = panel.DrawFrame();
      if (r.star >= 0) {
        stars.push_back(r.star);
        at.push_back(r.hiliteX + 8);  // the value lHiliteX took on that frame
      }
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 3, 2, 1, 0}), stars) << "sweep " << sweep;
    EXPECT_EQ((std::vector<int>{251, 259, 267, 275, 283, 291, 299, 307}), at) << "sweep " << sweep;
    EXPECT_FALSE(panel.StarOn());
  }
}

TEST(AboutPanel, StreakLightsOnlyTheLettersAndEachLetterPixelIsTheBlend) {
  AboutPanel panel = MakePanel();
  const PixelBuffer streak = ToPixels(assetgen::MakeStreak());
  for (int frame = 0; frame < 48; ++frame) {
    const AboutPanel::FrameReport r = panel.DrawFrame();
    int starSize = 0;
    if (r.star >= 0) starSize = kStarSize;
    for (int y = 0; y < kPanelHeight; ++y) {
      for (int x = 0; x < kPanelWidth; ++x) {
        const bool inStar = x >= kStarX && x < kStarX + starSize && y >= kStarY && y < kStarY + starSize;
        if (inStar) continue;
        Pixel expected = 0;
        if (IsLetter(x, y)) {
          const int sx = x - r.hiliteX;
          expected = sx >= 0 && sx < kHiliteWidth ? BlendPixel(kTextColour, streak.At(sx, y)) : kTextColour;
        }
        ASSERT_EQ(expected, panel.Frame().At(x, y)) << "frame " << frame << " at " << x << "," << y;
      }
    }
  }
}

TEST(AboutPanel, FirstFrameShowsThePlainTextAndTheSparkleBlendsOverThePanel) {
  AboutPanel panel = MakePanel();
  panel.DrawFrame();  // streak at -69: wholly outside
  EXPECT_EQ(kTextColour, panel.Frame().At(20, 10));
  EXPECT_EQ(0u, panel.Frame().At(100, 10));
  AboutPanel::FrameReport r;
  while ((r = panel.DrawFrame()).star < 0) {
  }
  ASSERT_EQ(0, r.star);
  const PixelBuffer star0 = ToPixels(assetgen::MakeSparkle0());
  // Below the letters (rows 20 and on) the panel is black, so the sparkle shows as it is blended on black.
  for (int y = 20; y < kPanelHeight; ++y)
    for (int x = kStarX; x < kPanelWidth; ++x)
      EXPECT_EQ(BlendPixel(0, star0.At(x - kStarX, y - kStarY)), panel.Frame().At(x, y)) << x << "," << y;
}

TEST(AboutPanel, OddlySizedTextLayersArePaddedAndCut) {
  AboutPanel panel(ToPixels(assetgen::MakeStreak()), {});
  panel.SetUp(PixelBuffer(400, 40, kTextColour), PixelBuffer(10, 10, 0), PixelBuffer(10, 10, Hex(0xFFFFFF)));
  panel.DrawFrame();  // missing sparkle pictures are skipped
  EXPECT_EQ(kTextColour, panel.Frame().At(5, 5));
  EXPECT_EQ(0u, panel.Frame().At(50, 5));
  EXPECT_EQ(kPanelWidth, panel.Frame().Width());
}

// ---- the stored pictures ---------------------------------------------------------------------------

TEST(StreakPicture, TopRowIsTheCrossSectionAndTheCentreSlantsTo18) {
  const int section[] = {8,   11,  15,  20,  26,  32,  40,  48,  58, 69, 80, 93, 107, 122, 137, 152, 164,
                         172, 174, 170, 161, 147, 132, 116, 100, 86, 73, 61, 51, 41,  33,  26,  20,  16};
  const Image24 streak = assetgen::MakeStreak();
  ASSERT_EQ(69, streak.width);
  ASSERT_EQ(125, streak.height);
  for (int i = 0; i < 34; ++i) EXPECT_EQ(section[i], streak.At(35 + i, 0)[0]) << i;
  EXPECT_EQ(0, streak.At(33, 0)[0]);
  int brightest = 0;
  for (int y = 0; y < streak.height; ++y) {
    int peakX = 0;
    for (int x = 0; x < streak.width; ++x) {
      brightest = std::max<int>(brightest, streak.At(x, y)[0]);
      if (streak.At(x, y)[0] > streak.At(peakX, y)[0]) peakX = x;
      EXPECT_EQ(streak.At(x, y)[0], streak.At(x, y)[1]);
    }
    EXPECT_NEAR(assetgen::StreakCentre(y), peakX, 1.0) << y;
  }
  EXPECT_EQ(174, brightest);
  EXPECT_EQ(18, std::lround(assetgen::StreakCentre(124)));
}

TEST(SparklePictures, LitSquareGrowsAndPeakIsNearWhite) {
  const int spans[] = {8, 12, 16, 20};
  for (int frame = 0; frame < 4; ++frame) {
    const Image24 star = assetgen::MakeSparkle(frame);
    ASSERT_EQ(28, star.width);
    int minX = 28, maxX = -1, minY = 28, maxY = -1, peak = 0;
    for (int y = 0; y < 28; ++y)
      for (int x = 0; x < 28; ++x) {
        const int v = star.At(x, y)[0];
        peak = std::max(peak, v);
        if (v > 0) {
          minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
        EXPECT_EQ(v, star.At(27 - x, y)[0]);  // symmetric about the centre
        EXPECT_EQ(v, star.At(x, 27 - y)[0]);
      }
    EXPECT_EQ(spans[frame], maxX - minX + 1) << frame;
    EXPECT_EQ(spans[frame], maxY - minY + 1) << frame;
    EXPECT_GE(peak, 241) << frame;
    // X-shaped: the diagonal near a tip is lit, the middle of the square's edge is not.
    EXPECT_GT(star.At(minX, minY)[0], 0) << frame;
    EXPECT_EQ(0, star.At(minX, 13)[0]) << frame;
  }
}

TEST(OptionMarks, UntickedIsAGreyOutlineTickedAddsABlueSquare) {
  const Image24 off = assetgen::MakeOptionUnticked(), on = assetgen::MakeOptionTicked();
  ASSERT_EQ(12, off.width);
  ASSERT_EQ(12, on.height);
  EXPECT_EQ(0xC0, off.At(0, 5)[0]);
  EXPECT_EQ(0, off.At(6, 6)[2]);
  EXPECT_GT(on.At(6, 6)[2], 200);
  EXPECT_LT(on.At(6, 6)[0], 64);
}

}  // namespace
