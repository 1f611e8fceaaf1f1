#include "scene/SceneGl.h"

#include <array>
#include <cstddef>

#include "scene/Gl.h"

namespace orlinde {
namespace {

constexpr int kStrips = kGridSize - 1;         // 63 bands between neighbouring Z columns
constexpr int kStripVertices = 2 * kGridSize;  // 128: two rows of the band, interleaved
using StripIndices = std::array<GLushort, static_cast<std::size_t>(kStrips) * kStripVertices>;

// The mesh's vertices as the strips visit them: for strip k and column i, vertex (i, k+1), then (i, k).
// Vertex (i, j) is element i * 64 + j of the vertex and normal arrays.
constexpr StripIndices MakeStripIndices() {
  StripIndices indices{};
  std::size_t n = 0;
  for (int k = 0; k < kStrips; ++k) {
    for (int i = 0; i < kGridSize; ++i) {
      indices[n++] = static_cast<GLushort>(i * kGridSize + k + 1);
      indices[n++] = static_cast<GLushort>(i * kGridSize + k);
    }
  }
  return indices;
}

constexpr StripIndices kStripIndices = MakeStripIndices();
static_assert(kGridSize * kGridSize <= 65536, "the strip indices are 16 bits wide");

}  // namespace

std::uint32_t UploadTexture(const BitmapPixels& bitmap) {
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // The reader pads each row to 4 bytes, matching the default unpack alignment left in place here.
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap.width, bitmap.height, GL_RGB, GL_UNSIGNED_BYTE, bitmap.pixels.data());
  return id;
}

std::uint32_t SetUpSceneGl(const BitmapPixels& bitmap) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);  // adds the square of the drawn colour
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_TEXTURE_2D);
  const std::uint32_t texture = UploadTexture(bitmap);

  glEnable(GL_BLEND);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);

  // The surface is drawn from the scene's vertex and normal arrays: 63 calls a frame instead of 16,000.
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  return texture;
}

void GlViewTargets::ReleaseTexture(std::uint32_t texture) {
  const GLuint id = texture;
  glDeleteTextures(1, &id);
}

void ResizeScene(std::int32_t width, std::int32_t height) {
  SetSceneViewport(0, 0, width, height);
}

void SetSceneViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  if (height == 0) height = 1;
  glViewport(x, y, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void DrawScene(RainScene& scene, std::uint32_t texture) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.2f, -4.5f);
  glRotatef(scene.TiltAngle, 1.0f, 0.0f, 0.0f);
  glRotatef(scene.TurnAngle, 0.0f, 1.0f, 0.0f);
  glColor3f(0.85f, 1.0f, 0.85f);
  BuildSurfaceMesh(scene);
  glBindTexture(GL_TEXTURE_2D, texture);
  DrawSurface(scene);
}

void DrawView(SceneView& view) {
  // A view on part of the drawable keeps its clear inside that part.
  const PixelRect box = view.place.FromBottom();
  const bool part = !view.place.IsWhole();
  SetSceneViewport(box.x, box.y, box.width, box.height);
  if (part) {
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
  }
  DrawScene(view.scene, view.texture);
  if (part) glDisable(GL_SCISSOR_TEST);
}

void DrawSurface(const RainScene& scene) {
  // The arrays are read where the mesh builder wrote them, nothing copied; setting the two pointers
  // each frame keeps the drawing right for whichever scene is passed.
  glVertexPointer(3, GL_FLOAT, 0, scene.SurfaceVertices);
  glNormalPointer(GL_FLOAT, 0, scene.SurfaceNormals);
  for (int k = 0; k < kStrips; ++k) {
    glDrawElements(GL_QUAD_STRIP, kStripVertices, GL_UNSIGNED_SHORT,
                   kStripIndices.data() + static_cast<std::size_t>(k) * kStripVertices);
  }
}

}  // namespace orlinde
