// The frame-rate corner drawn offscreen through OSMesa: what it draws, and the GL state it leaves.
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "linux/FpsOverlay.h"
#include "scene/Gl.h"
#include "tests/unit/OffscreenContext.h"

namespace orlinde {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 48;

class OverlayRender : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl_.Current()); }

  // The text drawn on a black frame, found with the unpack alignment `alignment`: which pixels are white.
  std::vector<bool> Draw(const char* text, GLint alignment) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    DrawOverlayText(text, kWidth, kHeight);
    glFinish();
    const std::vector<std::uint8_t>& pixels = gl_.Pixels();
    std::vector<bool> white;
    for (std::size_t k = 0; k < pixels.size(); k += 4)
      white.push_back(pixels[k] == 255 && pixels[k + 1] == 255 && pixels[k + 2] == 255);
    return white;
  }

  static GLint UnpackAlignment() {
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    return alignment;
  }

  OffscreenContext gl_{kWidth, kHeight};
};

TEST_F(OverlayRender, LeavesTheUnpackAlignmentAsItFoundIt) {
  for (const GLint alignment : {1, 2, 4, 8}) {
    Draw("60.0 fps", alignment);
    EXPECT_EQ(alignment, UnpackAlignment()) << "found " << alignment;
  }
}

TEST_F(OverlayRender, DrawsTheSameGlyphsWhateverAlignmentItFinds) {
  const std::vector<bool> packed = Draw("59.9 fps", 1);
  std::size_t lit = 0;
  for (const bool pixel : packed) lit += pixel ? 1 : 0;
  // "8" alone is 17 font pixels of 2 × 2: the whole text is several hundred screen pixels.
  EXPECT_GT(lit, 300u);
  for (const GLint alignment : {2, 4, 8}) EXPECT_EQ(packed, Draw("59.9 fps", alignment)) << "found " << alignment;
}

}  // namespace
}  // namespace orlinde
