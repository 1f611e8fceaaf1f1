#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <thread>
#include <vector>

#include "scene/RainScene.h"

namespace orlinde {
namespace {

class RecordingTimer final : public RainTimerSink {
 public:
  void SetRainTimer(std::int32_t milliseconds) override { periods.push_back(milliseconds); }
  std::vector<std::int32_t> periods;
};

class RainSceneTest : public testing::Test {
 protected:
  void SetUp() override { ResetSceneState(scene, 1234); }
  RainScene scene;
  SceneKeys keys{};
  RecordingTimer timer;
};

TEST_F(RainSceneTest, FlatSurfaceHasZeroHeightsDownwardInteriorNormalsAndUpwardRim) {
  BuildSurfaceMesh(scene);
  for (int i = 0; i < kGridSize; ++i) {
    for (int j = 0; j < kGridSize; ++j) {
      EXPECT_EQ(0.0f, scene.SurfaceVertices[i][j][1]);
      const bool rim = i == 0 || j == 0 || i == 63 || j == 63;
      EXPECT_EQ(0.0f, scene.SurfaceNormals[i][j][0]);
      EXPECT_EQ(rim ? 1.0f : -1.0f, scene.SurfaceNormals[i][j][1]) << i << "," << j;
      EXPECT_EQ(0.0f, scene.SurfaceNormals[i][j][2]);
    }
  }
  EXPECT_FLOAT_EQ(-2.5f, scene.SurfaceVertices[0][0][0]);
  EXPECT_FLOAT_EQ(2.5f, scene.SurfaceVertices[63][63][2]);
  EXPECT_NEAR(5.0f / 63.0f, scene.SurfaceVertices[1][0][0] - scene.SurfaceVertices[0][0][0], 1e-6);
}

TEST_F(RainSceneTest, DropOnRestingCellFollowsTheWaveRuleForTwoSteps) {
  AddDropAt(scene, 30, 40);
  StepSurface(scene);
  EXPECT_FLOAT_EQ(-1060.0f, scene.HeightGrid[30][40]);
  EXPECT_NEAR(1017.6f, scene.VelocityGrid[30][40], 1e-3);
  EXPECT_EQ(0.0f, scene.HeightGrid[31][40]);
  EXPECT_EQ(0.0f, scene.HeightGrid[31][41]);

  StepSurface(scene);
  EXPECT_NEAR(-1926.17f, scene.HeightGrid[30][40], 0.01);
  EXPECT_NEAR(831.52f, scene.VelocityGrid[30][40], 0.01);
  for (auto [di, dj] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
    EXPECT_NEAR(-24.23f, scene.HeightGrid[30 + di][40 + dj], 0.01);
  for (auto [di, dj] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
    EXPECT_NEAR(-6.06f, scene.HeightGrid[30 + di][40 + dj], 0.01);
  EXPECT_EQ(0.0f, scene.HeightGrid[32][40]);

  BuildSurfaceMesh(scene);
  // Height -1060 would sit at y ≈ -0.0493; the vertex follows the height scale.
  EXPECT_NEAR(-1926.17f / 1024.0f / 63.0f * 3.0f, scene.SurfaceVertices[30][40][1], 1e-6);
  // The normal of a slope leans away from the dip and keeps unit length.
  const float* n = scene.SurfaceNormals[31][40];
  EXPECT_GT(n[0], 0.0f);
  EXPECT_NEAR(1.0f, n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1e-5);
}

TEST_F(RainSceneTest, SecondDropBeforeTheStepReplacesTheImpulse) {
  AddDropAt(scene, 10, 10);
  AddDropAt(scene, 10, 10);
  EXPECT_EQ(kDropImpulse, scene.VelocityGrid[10][10]);
  StepSurface(scene);
  EXPECT_FLOAT_EQ(-1060.0f, scene.HeightGrid[10][10]);
}

TEST_F(RainSceneTest, RandomDropsCoverEveryMovingCellRangeButNeverTheOuterRings) {
  int lowI = 99, highI = -1, lowJ = 99, highJ = -1;
  for (int n = 0; n < 20000; ++n) {
    for (auto& row : scene.VelocityGrid)
      for (float& v : row) v = 0.0f;
    AddDrop(scene);
    int found = 0;
    for (int i = 0; i < kGridSize; ++i)
      for (int j = 0; j < kGridSize; ++j)
        if (scene.VelocityGrid[i][j] != 0.0f) {
          ++found;
          lowI = std::min(lowI, i), highI = std::max(highI, i);
          lowJ = std::min(lowJ, j), highJ = std::max(highJ, j);
        }
    ASSERT_EQ(1, found);
  }
  EXPECT_EQ(2, lowI);
  EXPECT_EQ(61, highI);
  EXPECT_EQ(2, lowJ);
  EXPECT_EQ(61, highJ);
}

TEST_F(RainSceneTest, OuterRingsNeverMoveUnderRainNextToThem) {
  for (int n = 0; n < 200; ++n) {
    AddDropAt(scene, 2, 2 + n % 60);
    AddDropAt(scene, 61, 2 + n % 60);
    AddDropAt(scene, 2 + n % 60, 2);
    AddDropAt(scene, 2 + n % 60, 61);
    StepSurface(scene);
  }
  EXPECT_NE(0.0f, scene.HeightGrid[2][30]);
  for (int i = 0; i < kGridSize; ++i)
    for (int j = 0; j < kGridSize; ++j)
      if (i < 2 || j < 2 || i > 61 || j > 61) {
        EXPECT_EQ(0.0f, scene.HeightGrid[i][j]) << i << "," << j;
        EXPECT_EQ(0.0f, scene.VelocityGrid[i][j]) << i << "," << j;
      }
}

TEST_F(RainSceneTest, RippleDiesDownUnderDamping) {
  AddDropAt(scene, 31, 31);
  for (int n = 0; n < 3000; ++n) StepSurface(scene);
  float largest = 0.0f;
  for (auto& row : scene.HeightGrid)
    for (float h : row) largest = std::max(largest, std::abs(h));
  EXPECT_LT(largest, 1.0f);
}

TEST_F(RainSceneTest, ArrowKeysTurnAndTiltOncePerSceneStepWhileHeldAndStaySet) {
  keys[SceneKey::kUp] = keys[SceneKey::kRight] = true;
  StepScene(scene, keys);
  StepScene(scene, keys);
  EXPECT_FLOAT_EQ(44.0f, scene.TiltAngle);
  EXPECT_FLOAT_EQ(19.0f, scene.TurnAngle);
  EXPECT_TRUE(keys[SceneKey::kUp]);
  // A drawn frame's key handling leaves the held arrows to the steps.
  ProcessKeys(scene, keys, timer);
  EXPECT_FLOAT_EQ(44.0f, scene.TiltAngle);
  EXPECT_FLOAT_EQ(19.0f, scene.TurnAngle);
  keys = {};
  keys[SceneKey::kDown] = keys[SceneKey::kLeft] = true;
  StepScene(scene, keys);
  EXPECT_FLOAT_EQ(44.5f, scene.TiltAngle);
  EXPECT_FLOAT_EQ(19.5f, scene.TurnAngle);
  EXPECT_TRUE(timer.periods.empty());
}

TEST_F(RainSceneTest, SpaceDropsOnceAndClearsItsEntry) {
  keys[SceneKey::kDrop] = true;
  ProcessKeys(scene, keys, timer);
  EXPECT_FALSE(keys[SceneKey::kDrop]);
  int drops = 0;
  for (auto& row : scene.VelocityGrid)
    for (float v : row) drops += v == kDropImpulse;
  EXPECT_EQ(1, drops);
}

TEST_F(RainSceneTest, KeypadPlusSpeedsRainDownToTwentyFiveAndDropsEachTime) {
  std::vector<std::int32_t> expected;
  for (int ms = 900; ms >= 100; ms -= 100) expected.push_back(ms);
  expected.push_back(25);
  expected.push_back(25);
  for (std::size_t n = 0; n < expected.size(); ++n) {
    keys[SceneKey::kRainFaster] = true;
    ProcessKeys(scene, keys, timer);
    EXPECT_FALSE(keys[SceneKey::kRainFaster]);
  }
  EXPECT_EQ(expected, timer.periods);
  EXPECT_EQ(25, scene.RainInterval);
  int drops = 0;
  for (auto& row : scene.VelocityGrid)
    for (float v : row) drops += v == kDropImpulse;
  EXPECT_GE(drops, 1);  // random cells may repeat; every press sets one
}

TEST_F(RainSceneTest, KeypadMinusAddsAHundredAndPlusReturnsToTwentyFive) {
  scene.RainInterval = 25;
  keys[SceneKey::kRainSlower] = true;
  ProcessKeys(scene, keys, timer);
  EXPECT_EQ(125, scene.RainInterval);
  EXPECT_FALSE(keys[SceneKey::kRainSlower]);
  keys[SceneKey::kRainFaster] = true;
  ProcessKeys(scene, keys, timer);
  EXPECT_EQ(25, scene.RainInterval);
  EXPECT_EQ((std::vector<std::int32_t>{125, 25}), timer.periods);

  scene.RainInterval = 100;
  keys[SceneKey::kRainFaster] = true;
  ProcessKeys(scene, keys, timer);
  EXPECT_EQ(25, scene.RainInterval);

  scene.RainInterval = std::numeric_limits<std::int32_t>::max() - 50;
  keys[SceneKey::kRainSlower] = true;
  ProcessKeys(scene, keys, timer);
  EXPECT_EQ(std::numeric_limits<std::int32_t>::max() - 50, scene.RainInterval);
}

TEST_F(RainSceneTest, ResetRestoresTheSetUpValues) {
  scene.TiltAngle = 3;
  scene.RainInterval = 25;
  AddDropAt(scene, 5, 5);
  StepSurface(scene);
  ResetSceneState(scene, 1);
  EXPECT_EQ(45.0f, scene.TiltAngle);
  EXPECT_EQ(20.0f, scene.TurnAngle);
  EXPECT_EQ(1000, scene.RainInterval);
  EXPECT_FLOAT_EQ(0.96f, scene.Damping);
  EXPECT_EQ(0.0f, scene.HeightGrid[5][5]);
  EXPECT_EQ(0.0f, scene.VelocityGrid[5][5]);
}

}  // namespace
}  // namespace orlinde

namespace orlinde {
namespace {

TEST(FlushDenormalsToZero, TurnsDenormalResultsIntoZeroForTheCallingThreadOnly) {
  // The floating-point mode belongs to a thread: try it on a thread of its own.
  float before = -1.0f, after = -1.0f;
  std::thread worker([&] {
    volatile float tiny = 1e-30f;
    volatile float scale = 1e-10f;
    before = tiny * scale;  // 1e-40 is a denormal
    FlushDenormalsToZero();
    after = tiny * scale;
  });
  worker.join();
  EXPECT_GT(before, 0.0f);
  EXPECT_EQ(0.0f, after);
}

}  // namespace
}  // namespace orlinde
