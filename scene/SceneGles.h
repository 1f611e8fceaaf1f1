// Drawing of the rain scene through GLSL ES 1.00 shaders, for contexts without fixed-function OpenGL
// (WebGL 1, OpenGL ES 2): the same picture as SceneGl draws. The same mesh (each band a triangle strip over
// the vertices its quad strip visits, each quad split along the diagonal Mesa splits it along),
// sphere-map texture coordinates worked out per vertex as fixed-function texture generation does, the same
// colour modulating the texture, depth test, blending, camera and perspective. The matrices are worked out
// here rather than by GLU.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scene/TexturePixels.h"
#include "scene/RainScene.h"
#include "scene/SceneViews.h"

namespace orlinde {

// A 4 × 4 matrix in the column-major order GL takes it.
using Matrix4 = std::array<float, 16>;

// The scene's projection for a viewport of that size: 45° vertical field of view, the viewport's aspect
// ratio, near plane 1, far plane 100 (a height of 0 counts as 1), as gluPerspective makes it.
Matrix4 ScenePerspective(std::int32_t width, std::int32_t height);

// The scene's camera: the surface shifted to (0, 0.2, −4.5), tilted about X, then turned about Y.
Matrix4 SceneModelView(float tiltDegrees, float turnDegrees);

// The vertex shader: eye-space position and normal, and from them the sphere-map coordinates.
extern const std::string_view kSurfaceVertexShader;
// The fragment shader: the texture modulated by the interpolated colour.
extern const std::string_view kSurfaceFragmentShader;

// The GL state the scene draws with, on the current context (depth test, blending, clear values), and the
// texture made from `bitmap`, which must hold pixels; the texture's name.
std::uint32_t SetUpSceneGles(const BitmapPixels& bitmap);

// The shader path's half of the views' targets: the set-up above and the texture's deletion, on the one
// context that is current (each context also needs its SurfaceProgram).
class GlesViewTargets final : public ViewTargets {
 public:
  void MakeCurrent(std::size_t) override {}
  std::uint32_t SetUpTarget(const BitmapPixels& pixels) override { return SetUpSceneGles(pixels); }
  void ReleaseTexture(std::uint32_t texture) override;
};

// The shader path's program and buffers for one context: made with the context current, released with the
// same one current.
class SurfaceProgram {
 public:
  SurfaceProgram() = default;
  SurfaceProgram(const SurfaceProgram&) = delete;
  SurfaceProgram& operator=(const SurfaceProgram&) = delete;

  // The shaders (`vertexShader` replaces the scene's own, for tests) and the buffers. False when a shader
  // does not compile or link: Error() says why, and nothing is left made.
  bool Init(std::string_view vertexShader = kSurfaceVertexShader);
  const std::string& Error() const { return error_; }

  // Viewport and projection for a part of the drawable (x, y from its lower left corner, as GL counts).
  void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  // One frame of the surface as the scene's steps left it, with `texture`: clear, camera, the mesh, the strips.
  void Draw(RainScene& scene, std::uint32_t texture);

  // One frame of a view at its place: the viewport and camera of its part of the drawable (the clear kept
  // inside that part when it is not the whole drawable), then Draw.
  void DrawView(SceneView& view);

  // Deletes what Init made; Init may run again afterwards.
  void Release();

 private:
  std::uint32_t program_ = 0;
  std::uint32_t indexBuffer_ = 0;
  std::uint32_t vertexBuffer_ = 0;
  std::uint32_t normalBuffer_ = 0;
  std::int32_t positionAttribute_ = -1;
  std::int32_t normalAttribute_ = -1;
  std::int32_t projectionUniform_ = -1;
  std::int32_t modelViewUniform_ = -1;
  std::int32_t normalMatrixUniform_ = -1;
  Matrix4 projection_ = ScenePerspective(1, 1);
  std::string error_;
};

}  // namespace orlinde
