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

#include "scene/BitmapReader.h"
#include "scene/RainScene.h"

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

// The shader path's GL objects for one context: program, texture, the strips' index buffer and the mesh's
// vertex buffers. Made with a context current, released with the same one current.
class SurfaceProgram {
 public:
  SurfaceProgram() = default;
  SurfaceProgram(const SurfaceProgram&) = delete;
  SurfaceProgram& operator=(const SurfaceProgram&) = delete;

  // The GL state (depth test, blending, clear values), the shaders (`vertexShader` replaces the scene's
  // own, for tests), the texture from `bitmap` and the buffers. False when `bitmap` holds no pixels or a
  // shader does not compile or link: Error() says why, and nothing is left made.
  bool Init(const BitmapPixels& bitmap, std::string_view vertexShader = kSurfaceVertexShader);
  const std::string& Error() const { return error_; }

  // Viewport and projection for a part of the drawable (x, y from its lower left corner, as GL counts).
  void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  // One frame of the surface as the scene's steps left it: clear, camera, the mesh, the strips.
  void Draw(RainScene& scene);

  // Deletes what Init made; Init may run again afterwards.
  void Release();

 private:
  std::uint32_t program_ = 0;
  std::uint32_t texture_ = 0;
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
