#include "scene/RainScene.h"

#include <cmath>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define ORLINDE_HAS_SSE_CONTROL 1
#endif

namespace orlinde {

void ResetSceneState(RainScene& scene, std::uint32_t seed) {
  scene.Damping = kInitialDamping;
  for (auto& row : scene.HeightGrid)
    for (float& h : row) h = 0.0f;
  for (auto& row : scene.VelocityGrid)
    for (float& v : row) v = 0.0f;
  scene.RainInterval = kInitialRainInterval;
  scene.Random.seed(seed);
  scene.TiltAngle = kInitialTiltAngle;
  scene.TurnAngle = kInitialTurnAngle;
}

void FlushDenormalsToZero() {
#ifdef ORLINDE_HAS_SSE_CONTROL
  constexpr unsigned kFlushToZero = 0x8000;       // results that would be denormal become zero
  constexpr unsigned kDenormalsAreZero = 0x0040;  // denormal inputs count as zero
  _mm_setcsr(_mm_getcsr() | kFlushToZero | kDenormalsAreZero);
#endif
}

void StepSurface(RainScene& scene) {
  auto& H = scene.HeightGrid;
  auto& V = scene.VelocityGrid;
  // The first pass reads only heights and writes only velocities, so the cells' order does not matter.
  for (int i = kFirstMovingCell; i <= kLastMovingCell; ++i) {
    for (int j = kFirstMovingCell; j <= kLastMovingCell; ++j) {
      const float edge = H[i - 1][j] + H[i + 1][j] + H[i][j - 1] + H[i][j + 1];
      const float corner = H[i - 1][j - 1] + H[i + 1][j - 1] + H[i - 1][j + 1] + H[i + 1][j + 1];
      V[i][j] = V[i][j] + (H[i][j] - (4.0f * edge + corner) / 25.0f) / 7.0f;
    }
  }
  const float damping = scene.Damping;
  for (int i = kFirstMovingCell; i <= kLastMovingCell; ++i) {
    for (int j = kFirstMovingCell; j <= kLastMovingCell; ++j) {
      H[i][j] = H[i][j] - V[i][j];
      V[i][j] = V[i][j] * damping;
    }
  }
}

void BuildSurfaceMesh(RainScene& scene) {
  const auto& H = scene.HeightGrid;
  constexpr float kHalf = (kGridSize - 1) / 2.0f;  // 31.5
  constexpr float kSpan = 5.0f;
  constexpr float kCells = kGridSize - 1;  // 63
  constexpr int kLast = kGridSize - 1;

  // X and Z depend only on the cell; Y follows the height. The heights are scaled a whole row at a
  // time into a plain array so that the divisions vectorise, then spread into the vertex triples.
  float position[kGridSize];
  for (int k = 0; k < kGridSize; ++k) position[k] = (static_cast<float>(k) - kHalf) / kCells * kSpan;
  for (int i = 0; i < kGridSize; ++i) {
    float y[kGridSize];
    for (int j = 0; j < kGridSize; ++j) y[j] = H[i][j] / 1024.0f / kCells * 3.0f;
    for (int j = 0; j < kGridSize; ++j) {
      float* vertex = scene.SurfaceVertices[i][j];
      vertex[0] = position[i];
      vertex[1] = y[j];
      vertex[2] = position[j];
    }
  }

  // The outer ring points straight up.
  auto up = [](float* normal) {
    normal[0] = 0.0f;
    normal[1] = 1.0f;
    normal[2] = 0.0f;
  };
  for (int k = 0; k < kGridSize; ++k) {
    up(scene.SurfaceNormals[0][k]);
    up(scene.SurfaceNormals[kLast][k]);
    up(scene.SurfaceNormals[k][0]);
    up(scene.SurfaceNormals[k][kLast]);
  }

  // Inside, the normal follows the height differences across the cell, with a fixed downward part.
  // Each row is worked out in plain arrays first so that the square roots and divisions vectorise.
  constexpr int kInner = kGridSize - 2;
  for (int i = 1; i < kLast; ++i) {
    float nx[kInner], ny[kInner], nz[kInner];
    for (int j = 1; j < kLast; ++j) {
      const float dx = H[i + 1][j] - H[i - 1][j];
      const float dy = -2048.0f;
      const float dz = H[i][j + 1] - H[i][j - 1];
      const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
      nx[j - 1] = dx / length;
      ny[j - 1] = dy / length;
      nz[j - 1] = dz / length;
    }
    for (int j = 1; j < kLast; ++j) {
      float* normal = scene.SurfaceNormals[i][j];
      normal[0] = nx[j - 1];
      normal[1] = ny[j - 1];
      normal[2] = nz[j - 1];
    }
  }
}

void AddDropAt(RainScene& scene, int i, int j) {
  scene.VelocityGrid[i][j] = kDropImpulse;
}

void AddDrop(RainScene& scene) {
  std::uniform_int_distribution<int> cell(0, kMovingCells - 1);
  const int a = cell(scene.Random);  // Z position
  const int b = cell(scene.Random);  // X position
  AddDropAt(scene, kFirstMovingCell + b, kFirstMovingCell + a);
}

void TurnWithHeldKeys(RainScene& scene, const SceneKeys& keys) {
  if (keys[SceneKey::kUp]) scene.TiltAngle -= kKeyAngleStep;
  if (keys[SceneKey::kDown]) scene.TiltAngle += kKeyAngleStep;
  if (keys[SceneKey::kRight]) scene.TurnAngle -= kKeyAngleStep;
  if (keys[SceneKey::kLeft]) scene.TurnAngle += kKeyAngleStep;
}

void StepScene(RainScene& scene, const SceneKeys& keys) {
  StepSurface(scene);
  TurnWithHeldKeys(scene, keys);
}

void ProcessKeys(RainScene& scene, SceneKeys& keys, RainTimerSink& timer) {
  if (keys[SceneKey::kDrop]) {
    AddDrop(scene);
    keys[SceneKey::kDrop] = false;
  }
  if (keys[SceneKey::kRainFaster]) {
    if (scene.RainInterval > kRainIntervalStep) {
      scene.RainInterval -= kRainIntervalStep;
    } else {
      scene.RainInterval = kRainIntervalFloor;
    }
    AddDrop(scene);
    timer.SetRainTimer(scene.RainInterval);
    keys[SceneKey::kRainFaster] = false;
  }
  if (keys[SceneKey::kRainSlower]) {
    // No upper bound but the integer's own: the sum must not overflow.
    if (scene.RainInterval <= std::numeric_limits<std::int32_t>::max() - kRainIntervalStep) {
      scene.RainInterval += kRainIntervalStep;
    }
    timer.SetRainTimer(scene.RainInterval);
    keys[SceneKey::kRainSlower] = false;
  }
}

}  // namespace orlinde
