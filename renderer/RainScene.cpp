#include "renderer/RainScene.h"

#include <cmath>
#include <limits>

#include "renderer/RainSceneKernels.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define ORLINDE_HAS_SSE_CONTROL 1
#endif

#if defined(ORLINDE_AVX2_PATH) && defined(_MSC_VER) && !defined(__clang__)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace velsora {

#ifdef ORLINDE_AVX2_PATH
// Built from the same kernels with AVX2 and FMA (RainSceneAvx2.cpp).
void StepSurfaceAvx2(RainScene& scene);
void BuildSurfaceMeshAvx2(RainScene& scene);
#else
// No such build for this processor family; never called.
inline void StepSurfaceAvx2(RainScene& scene) {
  StepSurfaceKernel<false>(scene);
}
inline void BuildSurfaceMeshAvx2(RainScene& scene) {
  BuildSurfaceMeshKernel<false>(scene);
}
#endif

namespace {

// Whether the processor and the system (which must save the wide registers) support AVX2 and FMA.
bool ProcessorHasAvx2AndFma() {
#if !defined(ORLINDE_AVX2_PATH)
  return false;
#elif defined(_MSC_VER) && !defined(__clang__)
  int leaf1[4] = {};
  __cpuid(leaf1, 1);
  const bool fma = (leaf1[2] & (1 << 12)) != 0;
  const bool osxsave = (leaf1[2] & (1 << 27)) != 0;
  const bool avx = (leaf1[2] & (1 << 28)) != 0;
  if (!fma || !osxsave || !avx) return false;
  if ((_xgetbv(0) & 0x6) != 0x6) return false;  // the system saves SSE and AVX state
  int leaf7[4] = {};
  __cpuidex(leaf7, 7, 0);
  return (leaf7[1] & (1 << 5)) != 0;
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#endif
}

}  // namespace

bool HasArithmeticPath(ArithmeticPath path) {
  static const bool avx2 = ProcessorHasAvx2AndFma();
  return path == ArithmeticPath::kBaseline || avx2;
}

ArithmeticPath FastestArithmeticPath() {
  return HasArithmeticPath(ArithmeticPath::kAvx2) ? ArithmeticPath::kAvx2 : ArithmeticPath::kBaseline;
}

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

// The plain build of the arithmetic; the AVX2 build is chosen instead where the processor has it.
void StepSurfaceWith(ArithmeticPath path, RainScene& scene) {
  if (path == ArithmeticPath::kAvx2 && HasArithmeticPath(path)) {
    StepSurfaceAvx2(scene);
  } else {
    StepSurfaceKernel<false>(scene);
  }
}

void BuildSurfaceMeshWith(ArithmeticPath path, RainScene& scene) {
  if (path == ArithmeticPath::kAvx2 && HasArithmeticPath(path)) {
    BuildSurfaceMeshAvx2(scene);
  } else {
    BuildSurfaceMeshKernel<false>(scene);
  }
}

void StepSurface(RainScene& scene) {
  StepSurfaceWith(FastestArithmeticPath(), scene);
}

void BuildSurfaceMesh(RainScene& scene) {
  BuildSurfaceMeshWith(FastestArithmeticPath(), scene);
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

void TurnWithHeldKeys(RainScene& scene, const KeyTable& keys) {
  if (keys[kVkUp]) scene.TiltAngle -= kKeyAngleStep;
  if (keys[kVkDown]) scene.TiltAngle += kKeyAngleStep;
  if (keys[kVkRight]) scene.TurnAngle -= kKeyAngleStep;
  if (keys[kVkLeft]) scene.TurnAngle += kKeyAngleStep;
}

void StepScene(RainScene& scene, const KeyTable& keys) {
  StepSurface(scene);
  TurnWithHeldKeys(scene, keys);
}

void ProcessKeys(RainScene& scene, KeyTable& keys, RainTimerSink& timer) {
  if (keys[kVkSpace]) {
    AddDrop(scene);
    keys[kVkSpace] = false;
  }
  if (keys[kVkAdd]) {
    if (scene.RainInterval > kRainIntervalStep) {
      scene.RainInterval -= kRainIntervalStep;
    } else {
      scene.RainInterval = kRainIntervalFloor;
    }
    AddDrop(scene);
    timer.SetRainTimer(scene.RainInterval);
    keys[kVkAdd] = false;
  }
  if (keys[kVkSubtract]) {
    // No upper bound but the integer's own: the sum must not overflow.
    if (scene.RainInterval <= std::numeric_limits<std::int32_t>::max() - kRainIntervalStep) {
      scene.RainInterval += kRainIntervalStep;
    }
    timer.SetRainTimer(scene.RainInterval);
    keys[kVkSubtract] = false;
  }
}

}  // namespace velsora
