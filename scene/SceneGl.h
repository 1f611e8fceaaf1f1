// Drawing of the rain scene with fixed-function OpenGL 1.1 and GLU: set-up, projection, the per-frame
// draw and the texture upload. Portable: runs through WGL on Windows, GLX on Linux and OSMesa in tests.
#pragma once

#include <cstdint>

#include "scene/BitmapReader.h"
#include "scene/RainScene.h"

namespace orlinde {

// What the scene needs from its program during set-up.
class ScenePlatform : public RainTimerSink {
 public:
  // Reads the hand-over texture bitmap (empty pixels when it cannot be read).
  virtual BitmapPixels ReadTextureBitmap() = 0;
  // Ends the process at once with `exitCode`; in the program this does not return.
  virtual void EndProcess(int exitCode) = 0;
  // A seed for the drop positions, taken from a clock.
  virtual std::uint32_t ClockSeed() = 0;
};

// Turns the pixels into the scene's one texture object, bound and modulated by the current colour.
void UploadTexture(const BitmapPixels& bitmap, std::uint32_t& textureId);

// One-time set-up after the context is current and the first ResizeScene ran. It also enables the
// vertex and normal arrays that DrawSurface submits from. Returns false only when
// the texture could not be read (after asking the platform to end the process).
bool InitScene(RainScene& scene, ScenePlatform& platform);

// Viewport and projection for a client area; a height of 0 counts as 1.
void ResizeScene(std::int32_t width, std::int32_t height);

// One frame of the surface as the scene's steps left it: clear, camera, the mesh, the strips.
void DrawScene(RainScene& scene);

// The 63 quad strips of the mesh, each vertex with its normal, from the scene's vertex and normal arrays
// (one glDrawElements a strip), in the order immediate-mode strips would send them.
void DrawSurface(const RainScene& scene);

}  // namespace orlinde
