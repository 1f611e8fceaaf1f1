// Drawing of the rain scene with fixed-function OpenGL 1.1 and GLU: a context's set-up with its texture,
// projection, the per-frame draw of a view. Portable: runs through WGL on Windows, GLX on Linux and OSMesa
// in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "scene/TexturePixels.h"
#include "scene/RainScene.h"
#include "scene/SceneViews.h"

namespace orlinde {

// Turns the pixels into a texture object, bound and modulated by the current colour; its name.
std::uint32_t UploadTexture(const BitmapPixels& bitmap);

// The GL state the scene draws with, on the current context (depth test, blending, sphere mapping, the
// vertex and normal arrays), and the texture made from `bitmap`, which must hold pixels; the texture's name.
std::uint32_t SetUpSceneGl(const BitmapPixels& bitmap);

// The GL half of the views' targets: the set-up above and the texture's deletion. The shell gives the
// function that makes a target's context current; without one there is a single context, already current.
class GlViewTargets final : public ViewTargets {
 public:
  GlViewTargets() = default;
  explicit GlViewTargets(std::function<void(std::size_t)> makeCurrent) : makeCurrent_(std::move(makeCurrent)) {}
  void MakeCurrent(std::size_t target) override {
    if (makeCurrent_) makeCurrent_(target);
  }
  std::uint32_t SetUpTarget(const BitmapPixels& pixels) override { return SetUpSceneGl(pixels); }
  void ReleaseTexture(std::uint32_t texture) override;

 private:
  std::function<void(std::size_t)> makeCurrent_;
};

// Viewport and projection for a client area; a height of 0 counts as 1.
void ResizeScene(std::int32_t width, std::int32_t height);

// Viewport and projection for a part of the window (x, y from its lower left corner, as GL counts): the
// scene's camera with that part's own aspect ratio. ResizeScene is this for the whole client area.
void SetSceneViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// One frame of the surface as the scene's steps left it, with `texture`: clear, camera, the mesh, the strips.
void DrawScene(RainScene& scene, std::uint32_t texture);

// One frame of a view at its place: the viewport and camera of its part of the drawable (the clear kept
// inside that part when it is not the whole drawable), then DrawScene.
void DrawView(SceneView& view);

// The 63 quad strips of the mesh, each vertex with its normal, from the scene's vertex and normal arrays
// (one glDrawElements a strip), in the order immediate-mode strips would send them.
void DrawSurface(const RainScene& scene);

}  // namespace orlinde
