// Drawing of the rain scene with fixed-function OpenGL 1.1 and GLU: set-up, projection, the per-frame
// draw and the texture upload. Portable: runs through WGL on Windows, GLX on Linux and OSMesa in tests.
#pragma once

#include <cstdint>

#include "scene/BitmapReader.h"
#include "scene/RainScene.h"

namespace orlinde {

// Turns the pixels into the scene's one texture object, bound and modulated by the current colour.
void UploadTexture(const BitmapPixels& bitmap, std::uint32_t& textureId);

// One-time set-up after the context is current and the first ResizeScene ran, from the texture pixels the
// program read: the GL state, the texture, the scene's start values with drops seeded from `seed`, and the
// rain timer armed. It also enables the vertex and normal arrays that DrawSurface submits from. Returns
// false, with no texture and no timer, when `bitmap` holds no pixels: the program decides how to end.
bool InitScene(RainScene& scene, const BitmapPixels& bitmap, RainTimerSink& rainTimer, std::uint32_t seed);

// Viewport and projection for a client area; a height of 0 counts as 1.
void ResizeScene(std::int32_t width, std::int32_t height);

// Viewport and projection for a part of the window (x, y from its lower left corner, as GL counts): the
// scene's camera with that part's own aspect ratio. ResizeScene is this for the whole client area.
void SetSceneViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// One frame of the surface as the scene's steps left it: clear, camera, the mesh, the strips.
void DrawScene(RainScene& scene);

// The 63 quad strips of the mesh, each vertex with its normal, from the scene's vertex and normal arrays
// (one glDrawElements a strip), in the order immediate-mode strips would send them.
void DrawSurface(const RainScene& scene);

}  // namespace orlinde
