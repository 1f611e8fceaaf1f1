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
inline constexpr int kRainTimerId = 2;

// Virtual-key codes the scene reacts to.
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkAdd = 0x6B;
inline constexpr int kVkSubtract = 0x6D;

// The frame's key table: true from key-down until key-up, indexed by virtual-key code.
using KeyTable = std::array<bool, 256>;

struct RainScene {
  float HeightGrid[kGridSize][kGridSize] = {};    // [i][j]: i is the X position, j the Z position
  float VelocityGrid[kGridSize][kGridSize] = {};  // a positive value lowers the surface at the next step
  float SurfaceVertices[kGridSize][kGridSize][3] = {};
  float SurfaceNormals[kGridSize][kGridSize][3] = {};
  float Damping = kInitialDamping;
  std::int32_t RainInterval = kInitialRainInterval;
  float TiltAngle = kInitialTiltAngle;
  float TurnAngle = kInitialTurnAngle;
  std::uint32_t TextureId = 0;
  std::mt19937 Random;
};

// Receives the rain timer's period whenever it is set or changed.
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
void TurnWithHeldKeys(RainScene& scene, const KeyTable& keys);

// One scene step, 60 of them a second: the wave rule, then the held arrows.
void StepScene(RainScene& scene, const KeyTable& keys);

// Once per drawn frame: Space drops a drop; keypad plus and minus change the rain rate and re-arm the
// rain timer. These keys act once per key-down: their entries are cleared in the table.
void ProcessKeys(RainScene& scene, KeyTable& keys, RainTimerSink& timer);

}  // namespace orlinde
