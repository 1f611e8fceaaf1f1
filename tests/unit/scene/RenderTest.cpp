// Frames of the real scene code, rendered offscreen by Mesa, checked pixel by pixel.
#include <array>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

#include "scene/Gl.h"
#include "scene/SceneGl.h"
#include "tests/unit/OffscreenContext.h"

namespace orlinde {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// What a program hands the scene at set-up: the texture it read and its rain timer.
class FakePlatform final : public RainTimerSink {
 public:
  explicit FakePlatform(BitmapPixels bitmap) : bitmap(std::move(bitmap)) {}
  void SetRainTimer(std::int32_t milliseconds) override { timerPeriods.push_back(milliseconds); }

  BitmapPixels bitmap;
  std::vector<std::int32_t> timerPeriods;
};

BitmapPixels Uniform(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  BitmapPixels bitmap;
  bitmap.width = bitmap.height = 64;
  for (int k = 0; k < 64 * 64; ++k) bitmap.pixels.insert(bitmap.pixels.end(), {r, g, b});
  return bitmap;
}

// A striped texture, so that bending normals move colours around.
BitmapPixels Stripes() {
  BitmapPixels bitmap;
  bitmap.width = bitmap.height = 64;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const std::uint8_t v = ((x / 4 + y / 4) % 2) ? 255 : 0;
      bitmap.pixels.insert(bitmap.pixels.end(), {v, v, 255});
    }
  return bitmap;
}

class OffscreenRender : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl_.Current()); }

  // Set-up as a view gets it: resize first, then the GL state and texture, then the scene's start values
  // with its rain timer armed.
  void Start(FakePlatform& platform) {
    ResizeScene(kWidth, kHeight);
    texture_ = SetUpSceneGl(platform.bitmap);
    ResetSceneState(scene_, 7);
    platform.SetRainTimer(scene_.RainInterval);
  }

  // One scene step and the frame drawn from it, as the program's loop does at 60 frames a second.
  void Frame() {
    StepSurface(scene_);
    DrawScene(scene_, texture_);
    glFinish();
  }

  // Pixel (x, y) with y counted from the top.
  std::array<int, 3> Pixel(int x, int y) const {
    const std::uint8_t* p = &buffer_[(static_cast<std::size_t>(kHeight - 1 - y) * kWidth + x) * 4];
    return {p[0], p[1], p[2]};
  }

  void SavePpm(const char* name) const {
    std::ofstream out(std::string(ORLINDE_ARTIFACTS_DIR) + "/" + name, std::ios::binary);
    out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const auto px = Pixel(x, y);
        out.put(static_cast<char>(px[0])).put(static_cast<char>(px[1])).put(static_cast<char>(px[2]));
      }
  }

  // Where a point of the surface plane lands on screen, by the scene's own camera: rotate about Y by the
  // turn, about X by the tilt, shift, project with a 45° perspective. Returns (x, y from the top).
  static std::array<double, 2> Project(double x, double z, double tilt, double turn) {
    const double pi = std::acos(-1.0);
    const double ty = turn * pi / 180, tx = tilt * pi / 180;
    const double x1 = x * std::cos(ty) + z * std::sin(ty), z1 = -x * std::sin(ty) + z * std::cos(ty);
    const double y2 = -z1 * std::sin(tx), z2 = z1 * std::cos(tx);
    const double ex = x1, ey = y2 + 0.2, ez = z2 - 4.5;
    const double f = 1.0 / std::tan(22.5 * pi / 180);
    const double ndcX = f / (double(kWidth) / kHeight) * ex / -ez, ndcY = f * ey / -ez;
    return {(ndcX + 1) / 2 * kWidth, kHeight - (ndcY + 1) / 2 * kHeight};
  }

  // True when (px, py) lies inside the projected square, farther than `margin` pixels from its edges.
  static int Side(std::array<double, 2> a, std::array<double, 2> b, double px, double py) {
    const double cross = (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0]);
    const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
    return static_cast<int>(cross / length);
  }
  static int DistanceInside(const std::array<std::array<double, 2>, 4>& c, double px, double py) {
    int d = 1 << 30;
    for (int k = 0; k < 4; ++k) d = std::min(d, Side(c[k], c[(k + 1) % 4], px, py));
    return d;
  }

  OffscreenContext gl_{kWidth, kHeight};
  std::vector<std::uint8_t>& buffer_ = gl_.Pixels();
  RainScene scene_;
  std::uint32_t texture_ = 0;
};

TEST_F(OffscreenRender, UniformRedTextureFillsExactlyTheProjectedSquareWithTheSquaredTint) {
  FakePlatform platform(Uniform(255, 0, 0));
  Start(platform);
  Frame();
  SavePpm("render-uniform-red.ppm");

  std::array<std::array<double, 2>, 4> corners = {Project(-2.5, -2.5, 45, 20), Project(2.5, -2.5, 45, 20),
                                                  Project(2.5, 2.5, 45, 20), Project(-2.5, 2.5, 45, 20)};
  // Orient the corners so that "inside" is positive.
  if (DistanceInside(corners, (corners[0][0] + corners[2][0]) / 2, (corners[0][1] + corners[2][1]) / 2) < 0)
    std::swap(corners[1], corners[3]);

  int inside = 0, outside = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int d = DistanceInside(corners, x + 0.5, y + 0.5);
      const auto px = Pixel(x, y);
      if (d >= 2) {
        ++inside;
        // Red 255 modulated by 0.85, then added as its own square over black: about 184.
        ASSERT_NEAR(184, px[0], 2) << x << "," << y;
        ASSERT_EQ(0, px[1]) << x << "," << y;
        ASSERT_EQ(0, px[2]) << x << "," << y;
      } else if (d <= -2) {
        ++outside;
        ASSERT_EQ((std::array<int, 3>{0, 0, 0}), px) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inside, kWidth * kHeight / 8);
  EXPECT_GT(outside, kWidth * kHeight / 8);
}

TEST_F(OffscreenRender, RipplesChangeThePictureAndTheKeysTurnIt) {
  FakePlatform platform(Stripes());
  Start(platform);
  Frame();
  const std::vector<std::uint8_t> flat = buffer_;
  SavePpm("render-flat.ppm");

  for (int k = 0; k < 6; ++k) AddDropAt(scene_, 10 + 8 * k, 31);
  for (int k = 0; k < 8; ++k) Frame();
  SavePpm("render-rippled.ppm");
  int changed = 0;
  for (std::size_t k = 0; k < flat.size(); ++k) changed += flat[k] != buffer_[k];
  EXPECT_GT(changed, 500);

  // Turning the surface moves its outline: the top-left corner region changes.
  ResetSceneState(scene_, 7);
  scene_.TurnAngle = 60.0f;
  Frame();
  int moved = 0;
  for (std::size_t k = 0; k < flat.size(); ++k) moved += flat[k] != buffer_[k];
  EXPECT_GT(moved, 2000);
}

// The surface as immediate-mode strips, vertex by vertex with its normal: the reference that the
// program's array drawing must match. Same camera and colour as DrawScene, on the mesh it last built.
void DrawSceneImmediately(const RainScene& scene, std::uint32_t texture) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.2f, -4.5f);
  glRotatef(scene.TiltAngle, 1.0f, 0.0f, 0.0f);
  glRotatef(scene.TurnAngle, 0.0f, 1.0f, 0.0f);
  glColor3f(0.85f, 1.0f, 0.85f);
  glBindTexture(GL_TEXTURE_2D, texture);
  for (int k = 0; k < kGridSize - 1; ++k) {
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < kGridSize; ++i) {
      glNormal3fv(scene.SurfaceNormals[i][k + 1]);
      glVertex3fv(scene.SurfaceVertices[i][k + 1]);
      glNormal3fv(scene.SurfaceNormals[i][k]);
      glVertex3fv(scene.SurfaceVertices[i][k]);
    }
    glEnd();
  }
  glFinish();
}

// The strips come from vertex arrays; after a long rainy run, with the surface turned off its start,
// the picture is the immediate-mode one to the byte.
TEST_F(OffscreenRender, ArrayDrawingMatchesImmediateModeStripsByteForByte) {
  FakePlatform platform(Stripes());
  Start(platform);
  SceneKeys keys{};
  keys[SceneKey::kLeft] = true;
  for (int step = 0; step < 300; ++step) {
    if (step % 15 == 0) AddDrop(scene_);
    StepScene(scene_, keys);
  }
  DrawScene(scene_, texture_);
  glFinish();
  const std::vector<std::uint8_t> arrays = buffer_;
  SavePpm("render-arrays.ppm");

  std::fill(buffer_.begin(), buffer_.end(), std::uint8_t{0x55});
  DrawSceneImmediately(scene_, texture_);
  SavePpm("render-immediate.ppm");

  std::size_t lit = 0, differing = 0;
  for (std::size_t k = 0; k < arrays.size(); ++k) {
    lit += arrays[k] != 0;
    differing += arrays[k] != buffer_[k];
  }
  EXPECT_GT(lit, arrays.size() / 8) << "the surface was drawn";
  EXPECT_EQ(0u, differing) << "bytes that differ between the two ways of drawing";
}

TEST_F(OffscreenRender, ResizeWithZeroHeightUsesOne) {
  ResizeScene(200, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(200, viewport[2]);
  EXPECT_EQ(1, viewport[3]);
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  // gluPerspective puts f / aspect in [0] and f in [5]: the aspect is 200 / 1.
  EXPECT_NEAR(200.0, projection[5] / projection[0], 1e-3);  // the matrix is kept in floats
}

}  // namespace
}  // namespace orlinde
