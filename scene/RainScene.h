// The rain scene's state and its arithmetic: the 64 × 64 ripple grids, the wave rule, the surface mesh
// with its normals, drops, and the keys that steer the view and the rain rate. No OpenGL here; the
// drawing lives in SceneGl.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace orlinde {

inline constexpr int kGridSize = 64;
inline constexpr int kFirstMovingCell = 2;
inline constexpr int kLastMovingCell = 61;
inline constexpr int kMovingCells = kLastMovingCell - kFirstMovingCell + 1;  // 60

inline constexpr float kDropImpulse = 1060.0f;
inline constexpr float kInitialDamping = 0.96f;
inline constexpr int kInitialRainInterval = 1000;
inline constexpr int kRainIntervalStep = 100;
inline constexpr int kRainIntervalFloor = 25;
inline constexpr float kInitialTiltAngle = 45.0f;
inline constexpr float kInitialTurnAngle = 20.0f;
inline constexpr float kKeyAngleStep = 0.5f;  // degrees per scene step
// The keys the scene reacts to, whatever the keyboard: each program maps its own key codes onto these.
// Ending the program (Escape, q) is the program's business, not the scene's.
enum class SceneKey {
  kLeft,        // turns the surface one way while held
  kRight,       // turns it the other way
  kUp,          // tilts it one way while held
  kDown,        // tilts it the other way
  kDrop,        // Space: one drop per key press
  kRainFaster,  // keypad plus: a shorter rain interval, and a drop
  kRainSlower,  // keypad minus: a longer rain interval
};
inline constexpr int kSceneKeyCount = 7;

// The frame's key table: true from key-down until key-up. The keys that act once per press are cleared
// by ProcessKeys.
class SceneKeys {
 public:
  bool& operator[](SceneKey key) { return held_[static_cast<int>(key)]; }
  bool operator[](SceneKey key) const { return held_[static_cast<int>(key)]; }
  void ReleaseAll() { held_ = {}; }

 private:
  std::array<bool, kSceneKeyCount> held_{};
};

struct RainScene {
  float HeightGrid[kGridSize][kGridSize] = {};    // [i][j]: i is the X position, j the Z position
  float VelocityGrid[kGridSize][kGridSize] = {};  // a positive value lowers the surface at the next step
  float SurfaceVertices[kGridSize][kGridSize][3] = {};
  float SurfaceNormals[kGridSize][kGridSize][3] = {};
  float Damping = kInitialDamping;
  std::int32_t RainInterval = kInitialRainInterval;
  float TiltAngle = kInitialTiltAngle;
  float TurnAngle = kInitialTurnAngle;
  std::mt19937 Random;
};

// Receives the rain timer's period whenever it is set or changed (the program's drop schedule).
class RainTimerSink {
 public:
  virtual ~RainTimerSink() = default;
  virtual void SetRainTimer(std::int32_t milliseconds) = 0;
};

// Scene values as they are at set-up: flat grids, default damping, rain rate and angles; the random
// generator seeded with `seed`.
void ResetSceneState(RainScene& scene, std::uint32_t seed);

// Damping leaves ripples fading through ever smaller values into the floating-point denormal range,
// where the processor slows down many times over. Flushing those to zero for the calling thread changes
// nothing visible and keeps every frame's cost the same.
void FlushDenormalsToZero();

// One step of the wave rule over the 60 × 60 moving cells.
void StepSurface(RainScene& scene);

// Rebuilds every vertex and normal from the heights.
void BuildSurfaceMesh(RainScene& scene);

// A drop at a random moving cell: its velocity becomes the drop impulse.
void AddDrop(RainScene& scene);

// A drop at moving cell (i, j); used by AddDrop and by tests that need a known place.
void AddDropAt(RainScene& scene, int i, int j);

// Once per scene step: the arrows held down turn and tilt the surface by the key step each.
void TurnWithHeldKeys(RainScene& scene, const SceneKeys& keys);

// One scene step, 60 of them a second: the wave rule, then the held arrows.
void StepScene(RainScene& scene, const SceneKeys& keys);

// Once per drawn frame: Space drops a drop; keypad plus and minus change the rain rate and re-arm the
// rain timer. These keys act once per key-down: their entries are cleared in the table.
void ProcessKeys(RainScene& scene, SceneKeys& keys, RainTimerSink& timer);

}  // namespace orlinde
