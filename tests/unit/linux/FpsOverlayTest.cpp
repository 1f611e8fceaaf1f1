// The frame-rate corner drawn offscreen through OSMesa: what it draws, and the GL state it leaves.
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "linux/FpsOverlay.h"
#include "scene/Gl.h"

namespace orlinde {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 48;

class OverlayRender : public testing::Test {
 protected:
  void SetUp() override {
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    ASSERT_NE(nullptr, context_);
    buffer_.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
    ASSERT_TRUE(OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, kWidth, kHeight));
  }
  void TearDown() override {
    if (context_ != nullptr) OSMesaDestroyContext(context_);
  }

  // The text drawn on a black frame, found with the unpack alignment `alignment`: which pixels are white.
  std::vector<bool> Draw(const char* text, GLint alignment) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    DrawOverlayText(text, kWidth, kHeight);
    glFinish();
    std::vector<bool> white;
    for (std::size_t k = 0; k < buffer_.size(); k += 4)
      white.push_back(buffer_[k] == 255 && buffer_[k + 1] == 255 && buffer_[k + 2] == 255);
    return white;
  }

  static GLint UnpackAlignment() {
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    return alignment;
  }

  OSMesaContext context_ = nullptr;
  std::vector<std::uint8_t> buffer_;
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
