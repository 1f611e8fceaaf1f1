// The scene's CPU share of a frame: one wave step and the mesh with its normals, on a surface kept busy
// by rain so that the numbers are those of a real run. Also counts heap allocations inside the loop.
#include <benchmark/benchmark.h>

// The counting allocator below pairs its own new and delete with malloc and free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <new>

#include "scene/RainScene.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

static void BM_StepAndMesh(benchmark::State& state) {
  static orlinde::RainScene scene;  // 100 KB of grids: keep them off the stack
  orlinde::ResetSceneState(scene, 42);
  for (int n = 0; n < 200; ++n) {
    orlinde::AddDrop(scene);
    orlinde::StepSurface(scene);
  }
  long frames = 0;
  const long before = g_allocations.load();
  for (auto _ : state) {
    if (++frames % 60 == 0) orlinde::AddDrop(scene);
    orlinde::StepSurface(scene);
    orlinde::BuildSurfaceMesh(scene);
    benchmark::DoNotOptimize(scene.SurfaceNormals[31][31][0]);
    benchmark::ClobberMemory();
  }
  state.counters["allocs_per_frame"] =
      benchmark::Counter(static_cast<double>(g_allocations.load() - before) / static_cast<double>(frames));
}
BENCHMARK(BM_StepAndMesh)->Unit(benchmark::kMicrosecond);

static void BM_StepSurface(benchmark::State& state) {
  static orlinde::RainScene scene;
  orlinde::ResetSceneState(scene, 42);
  orlinde::AddDropAt(scene, 31, 31);
  for (auto _ : state) {
    orlinde::StepSurface(scene);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StepSurface)->Unit(benchmark::kMicrosecond);

static void BM_BuildSurfaceMesh(benchmark::State& state) {
  static orlinde::RainScene scene;
  orlinde::ResetSceneState(scene, 42);
  orlinde::AddDropAt(scene, 31, 31);
  for (int n = 0; n < 20; ++n) orlinde::StepSurface(scene);
  for (auto _ : state) {
    orlinde::BuildSurfaceMesh(scene);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BuildSurfaceMesh)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  // As in the renderer: denormals flushed to zero (FRAME_BENCH_DENORMALS=1 measures without).
  if (std::getenv("FRAME_BENCH_DENORMALS") == nullptr) orlinde::FlushDenormalsToZero();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
}
