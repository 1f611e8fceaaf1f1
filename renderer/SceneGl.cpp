#include "renderer/SceneGl.h"

#include "renderer/Gl.h"

namespace velsora {

void UploadTexture(const BitmapPixels& bitmap, std::uint32_t& textureId) {
  GLuint id = 0;
  glGenTextures(1, &id);
  textureId = id;
  glBindTexture(GL_TEXTURE_2D, id);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // The reader pads each row to 4 bytes, matching the default unpack alignment left in place here.
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap.width, bitmap.height, GL_RGB, GL_UNSIGNED_BYTE, bitmap.pixels.data());
}

bool InitScene(RainScene& scene, ScenePlatform& platform) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);  // adds the square of the drawn colour
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_TEXTURE_2D);

  const BitmapPixels bitmap = platform.ReadTextureBitmap();
  if (bitmap.pixels.empty()) {
    platform.EndProcess(1);
    return false;
  }
  UploadTexture(bitmap, scene.TextureId);

  glEnable(GL_BLEND);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);

  ResetSceneState(scene, 0);
  platform.SetRainTimer(scene.RainInterval);
  scene.Random.seed(platform.ClockSeed());
  return true;
}

void ResizeScene(std::int32_t width, std::int32_t height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void DrawScene(RainScene& scene) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.2f, -4.5f);
  glRotatef(scene.TiltAngle, 1.0f, 0.0f, 0.0f);
  glRotatef(scene.TurnAngle, 0.0f, 1.0f, 0.0f);
  glColor3f(0.85f, 1.0f, 0.85f);
  BuildSurfaceMesh(scene);
  DrawSurface(scene);
}

void DrawSurface(const RainScene& scene) {
  glBindTexture(GL_TEXTURE_2D, scene.TextureId);
  for (int k = 0; k < kGridSize - 1; ++k) {
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < kGridSize; ++i) {
      glNormal3fv(scene.SurfaceNormals[i][k + 1]);
      glVertex3fv(scene.SurfaceVertices[i][k + 1]);
      glNormal3fv(scene.SurfaceNormals[i][k]);
      glVertex3fv(scene.SurfaceVertices[i][k]);
    }
    glEnd();
  }
}

}  // namespace velsora
