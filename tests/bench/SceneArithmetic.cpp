// One frame's arithmetic (a wave step and the mesh with its normals, rain falling), timed with the standard
// clock alone so that the same source runs natively and as WebAssembly under Node: after a warm-up, the best
// of 500 short runs of 100 frames (about a millisecond each, so that on a busy machine some run has a processor to itself),
// printed in microseconds a frame. A figure for the docs, never a test.
#include <chrono>
#include <cstdio>

#include "scene/RainScene.h"

int main() {
  static orlinde::RainScene scene;  // 100 KB of grids: kept off the stack
  orlinde::FlushDenormalsToZero();
  orlinde::ResetSceneState(scene, 42);
  for (int n = 0; n < 200; ++n) {
    orlinde::AddDrop(scene);
    orlinde::StepSurface(scene);
  }
  // Warm-up: WebAssembly engines first run a quick translation and replace it with optimised code once a
  // function has run a while.
  for (int frame = 0; frame < 5000; ++frame) {
    orlinde::StepSurface(scene);
    orlinde::BuildSurfaceMesh(scene);
  }
  constexpr int kFrames = 100;
  constexpr int kRuns = 500;
  double best = 1e30;
  volatile float sink = 0.0f;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 1; frame <= kFrames; ++frame) {
      if (frame % 60 == 0) orlinde::AddDrop(scene);
      orlinde::StepSurface(scene);
      orlinde::BuildSurfaceMesh(scene);
      sink = sink + scene.SurfaceNormals[31][31][0];
    }
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed.count() / kFrames < best) best = elapsed.count() / kFrames;
  }
  std::printf("scene arithmetic: %.2f us a frame (best of %d runs of %d frames)\n", best, kRuns, kFrames);
  return 0;
}
