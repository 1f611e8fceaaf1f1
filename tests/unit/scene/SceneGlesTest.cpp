// The shader path against the fixed-function path: the same rainy, turned surface drawn both ways, each in
// an offscreen Mesa context of its own, gives pictures that differ by a few levels at most, while a shader
// with a wrong reflection or a wrong projection differs far beyond that.
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "scene/Gl.h"
#include "scene/SceneGl.h"
#include "common/BitmapReader.h"
#include "scene/SceneGles.h"
#include "tests/unit/OffscreenContext.h"

namespace orlinde {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

BitmapPixels Caustics() {
  std::ifstream in(std::string(ORLINDE_SOURCE_DIR) + "/assets/caustics.bmp", std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  MemorySource source(bytes.data(), bytes.size());
  return ReadBitmapFile(source);
}

// A surface after five seconds of rain with the left arrow held: ripples everywhere, turned off its start.
void Rain(RainScene& scene) {
  ResetSceneState(scene, 11);
  SceneKeys keys{};
  keys[SceneKey::kLeft] = true;
  for (int step = 0; step < 300; ++step) {
    if (step % 12 == 0) AddDrop(scene);
    StepScene(scene, keys);
  }
}

// How far apart two RGBA pictures are, over the colour channels.
struct Difference {
  double mean = 0;       // mean absolute difference per channel, in levels
  int worst = 0;         // largest difference of any channel
  double withinFew = 0;  // share of pixels whose channels all differ by kFewLevels or less
  double lit = 0;        // share of pixels the fixed-function picture lights
};
constexpr int kFewLevels = 3;

Difference Compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  Difference d;
  long long sum = 0;
  std::size_t within = 0, lit = 0;
  const std::size_t pixels = a.size() / 4;
  for (std::size_t p = 0; p < pixels; ++p) {
    int pixelWorst = 0;
    for (int c = 0; c < 3; ++c) {
      const int delta = std::abs(int{a[p * 4 + c]} - int{b[p * 4 + c]});
      sum += delta;
      pixelWorst = std::max(pixelWorst, delta);
    }
    d.worst = std::max(d.worst, pixelWorst);
    within += pixelWorst <= kFewLevels;
    lit += a[p * 4] != 0 || a[p * 4 + 1] != 0 || a[p * 4 + 2] != 0;
  }
  d.mean = static_cast<double>(sum) / static_cast<double>(pixels * 3);
  d.withinFew = static_cast<double>(within) / static_cast<double>(pixels);
  d.lit = static_cast<double>(lit) / static_cast<double>(pixels);
  return d;
}

void SavePpm(const std::vector<std::uint8_t>& rgba, const std::string& name) {
  std::ofstream out(std::string(ORLINDE_ARTIFACTS_DIR) + "/" + name, std::ios::binary);
  out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x)
      out.write(reinterpret_cast<const char*>(&rgba[(static_cast<std::size_t>(y) * kWidth + x) * 4]), 3);
}

// The picture of the rainy surface drawn by the fixed-function path.
std::vector<std::uint8_t> FixedFunctionPicture(const BitmapPixels& bitmap) {
  OffscreenContext gl(kWidth, kHeight);
  EXPECT_TRUE(gl.Current());
  RainScene scene;
  ResizeScene(kWidth, kHeight);
  const std::uint32_t texture = SetUpSceneGl(bitmap);
  Rain(scene);
  DrawScene(scene, texture);
  glFinish();
  return gl.Pixels();
}

// The same surface drawn by the shader path with `vertexShader`.
std::vector<std::uint8_t> ShaderPicture(const BitmapPixels& bitmap, std::string_view vertexShader) {
  OffscreenContext gl(kWidth, kHeight);
  EXPECT_TRUE(gl.Current());
  RainScene scene;
  const std::uint32_t texture = SetUpSceneGles(bitmap);
  SurfaceProgram program;
  EXPECT_TRUE(program.Init(vertexShader)) << program.Error();
  program.SetViewport(0, 0, kWidth, kHeight);
  Rain(scene);
  program.Draw(scene, texture);
  glFinish();
  program.Release();
  return gl.Pixels();
}

// Measured on Mesa 22.3 (llvmpipe through OSMesa), 400 × 300, the caustics picture: a mean of 0.0063 levels,
// 2 levels at worst, every pixel within 3 levels. The bounds leave room for another Mesa's rounding; each
// mistake below breaks all three by far (a field of view 2 % narrower: a mean of 4.6 levels, 250 at worst,
// 22 % of the pixels more than 3 levels off; the others a mean of 19 to 28 levels).
constexpr double kMeanBound = 0.05;
constexpr int kWorstBound = 8;
constexpr double kWithinFewBound = 0.999;

TEST(SceneGles, DrawsTheFixedFunctionPictureWithinAFewLevels) {
  const BitmapPixels bitmap = Caustics();
  ASSERT_FALSE(bitmap.pixels.empty());
  const std::vector<std::uint8_t> fixed = FixedFunctionPicture(bitmap);
  const std::vector<std::uint8_t> shaded = ShaderPicture(bitmap, kSurfaceVertexShader);
  SavePpm(fixed, "gles-fixed-function.ppm");
  SavePpm(shaded, "gles-shader.ppm");
  const Difference d = Compare(fixed, shaded);
  std::printf("shader vs fixed function: mean %.4f, worst %d, within %d levels %.4f, lit %.3f\n", d.mean, d.worst,
              kFewLevels, d.withinFew, d.lit);
  EXPECT_GT(d.lit, 0.25) << "the surface was drawn";
  EXPECT_LE(d.mean, kMeanBound);
  EXPECT_LE(d.worst, kWorstBound);
  EXPECT_GE(d.withinFew, kWithinFewBound);
}

class StillClock final : public MonotonicClock {
 public:
  Microseconds Now() override { return 0; }
};

// The top and the bottom half of one drawable, each a view with its own turn, painted by `paint`.
template <typename Targets, typename Paint>
std::vector<std::uint8_t> TwoViewsPicture(const BitmapPixels& bitmap, Paint paint) {
  OffscreenContext gl(kWidth, kHeight);
  EXPECT_TRUE(gl.Current());
  Targets targets;
  StillClock clock;
  SceneViews views(clock, bitmap, 1000, 11);
  const ViewPlace places[] = {{0, {0, 0, kWidth, kHeight / 2}, kWidth, kHeight},
                              {0, {0, kHeight / 2, kWidth, kHeight / 2}, kWidth, kHeight}};
  views.Arrange(places, targets);
  for (std::size_t k = 0; k < views.size(); ++k) {
    Rain(views[k].scene);
    views[k].scene.TurnAngle += 40.0f * static_cast<float>(k);
    paint(views[k]);
  }
  glFinish();
  views.Clear(targets);
  return gl.Pixels();
}

// Views on parts of a drawable: each drawn and cleared inside its own part, GL's rows counted from the bottom.
TEST(SceneGles, ViewsAtTheirPlacesMatchTheFixedFunctionViews) {
  const BitmapPixels bitmap = Caustics();
  const std::vector<std::uint8_t> fixed =
      TwoViewsPicture<GlViewTargets>(bitmap, [](SceneView& view) { DrawView(view); });
  SurfaceProgram program;
  const std::vector<std::uint8_t> shaded = TwoViewsPicture<GlesViewTargets>(bitmap, [&program](SceneView& view) {
    if (!program.Init()) ADD_FAILURE() << program.Error();
    program.DrawView(view);
    program.Release();
  });
  SavePpm(fixed, "gles-views-fixed-function.ppm");
  SavePpm(shaded, "gles-views-shader.ppm");
  const Difference d = Compare(fixed, shaded);
  std::printf("two views, shader vs fixed function: mean %.4f, worst %d, within %d levels %.4f, lit %.3f\n", d.mean,
              d.worst, kFewLevels, d.withinFew, d.lit);
  EXPECT_GT(d.lit, 0.25) << "the surfaces were drawn";
  EXPECT_LE(d.mean, kMeanBound);
  EXPECT_LE(d.worst, kWorstBound);
  EXPECT_GE(d.withinFew, kWithinFewBound);
}

// Mistakes the bounds above must catch: each replaces one piece of the vertex shader.
struct Mistake {
  const char* name;
  const char* right;
  const char* wrong;
};

class SceneGlesMistake : public testing::TestWithParam<Mistake> {};

TEST_P(SceneGlesMistake, IsFarOutsideTheBounds) {
  const Mistake& mistake = GetParam();
  std::string shader(kSurfaceVertexShader);
  const std::size_t at = shader.find(mistake.right);
  ASSERT_NE(std::string::npos, at) << "the shader no longer has " << mistake.right;
  shader.replace(at, std::string(mistake.right).size(), mistake.wrong);

  const BitmapPixels bitmap = Caustics();
  const std::vector<std::uint8_t> fixed = FixedFunctionPicture(bitmap);
  const std::vector<std::uint8_t> shaded = ShaderPicture(bitmap, shader);
  SavePpm(shaded, std::string("gles-mistake-") + mistake.name + ".ppm");
  const Difference d = Compare(fixed, shaded);
  std::printf("%s: mean %.4f, worst %d, within %d levels %.4f\n", mistake.name, d.mean, d.worst, kFewLevels,
              d.withinFew);
  EXPECT_TRUE(d.mean > kMeanBound || d.worst > kWorstBound || d.withinFew < kWithinFewBound);
}

INSTANTIATE_TEST_SUITE_P(Shaders, SceneGlesMistake,
                         testing::Values(
                             // The reflection about the model's normal rather than the eye-space one.
                             Mistake{"model_normal", "vec3 n = normalMatrix * normal;", "vec3 n = normal;"},
                             // The eye's direction left unnormalised.
                             Mistake{"unit_eye", "vec3 u = normalize(eye.xyz);", "vec3 u = eye.xyz / 4.5;"},
                             // The reflection's sign turned.
                             Mistake{"reflection_sign", "u - 2.0 * n", "u + 2.0 * n"},
                             // A field of view 2 % narrower.
                             Mistake{"field_of_view", "gl_Position = projection * eye;",
                                     "gl_Position = projection * vec4(eye.xy * 1.02, eye.zw);"},
                             // The camera's matrix read row for column.
                             Mistake{"camera_transposed", "vec4 eye = modelView * vec4(position, 1.0);",
                                     "vec4 eye = vec4(position, 1.0) * modelView;"}),
                         [](const testing::TestParamInfo<Mistake>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orlinde
