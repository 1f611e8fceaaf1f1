#include "scene/SceneGles.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "scene/Gles.h"

namespace orlinde {
namespace {

constexpr int kStrips = kGridSize - 1;         // 63 bands between neighbouring Z columns
constexpr int kStripVertices = 2 * kGridSize;  // 128: two rows of the band, interleaved
constexpr double kPi = 3.14159265358979323846;

// The bands as triangle strips: for band k and column i, vertex (i, k), then (i, k+1); vertex (i, j) is element
// i * 64 + j of the vertex and normal arrays. These are the quad strip's vertices (which visits (i, k+1)
// first) with each column's pair swapped, so that every quad is split along the diagonal from (i, k+1) to
// (i+1, k), the one Mesa splits the quad strip's quads along. Over the other diagonal, ripples bend
// differently inside a quad: measured on a rainy surface, a mean of 1.6 levels and 10 % of the pixels more
// than 3 levels off the fixed-function picture, against 0.006 and none this way.
std::vector<GLushort> StripIndices() {
  std::vector<GLushort> indices;
  indices.reserve(static_cast<std::size_t>(kStrips) * kStripVertices);
  for (int k = 0; k < kStrips; ++k) {
    for (int i = 0; i < kGridSize; ++i) {
      indices.push_back(static_cast<GLushort>(i * kGridSize + k));
      indices.push_back(static_cast<GLushort>(i * kGridSize + k + 1));
    }
  }
  return indices;
}
static_assert(kGridSize * kGridSize <= 65536, "the strip indices are 16 bits wide");

using Matrix4d = std::array<double, 16>;

Matrix4d Multiply(const Matrix4d& a, const Matrix4d& b) {
  Matrix4d product{};
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  return product;
}

Matrix4 ToFloat(const Matrix4d& m) {
  Matrix4 result{};
  for (std::size_t k = 0; k < result.size(); ++k) result[k] = static_cast<float>(m[k]);
  return result;
}

// Fixed-function sphere mapping (texture generation GL_SPHERE_MAP), per vertex: u is the unit vector from
// the eye to the vertex, n the eye-space normal, r the reflection of u about n; then
// m = 2 sqrt(rx² + ry² + (rz + 1)²), s = rx / m + 1/2, t = ry / m + 1/2.
// The normal matrix is the inverse transpose of the camera's upper 3 × 3, which for the scene's camera (a
// shift and two rotations) is that 3 × 3 itself. The normals are used as they are, as fixed-function GL
// does with normalisation off; the mesh's normals are unit length.
constexpr char kVertexSource[] = R"(#version 100
attribute vec3 position;
attribute vec3 normal;
uniform mat4 projection;
uniform mat4 modelView;
uniform mat3 normalMatrix;
varying vec2 sphereCoord;
void main() {
  vec4 eye = modelView * vec4(position, 1.0);
  vec3 u = normalize(eye.xyz);
  vec3 n = normalMatrix * normal;
  vec3 r = u - 2.0 * n * dot(n, u);
  float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
  sphereCoord = vec2(r.x / m + 0.5, r.y / m + 0.5);
  gl_Position = projection * eye;
}
)";

// The texture modulated by the scene's colour (0.85, 1, 0.85), as GL_MODULATE does with that current colour.
constexpr char kFragmentSource[] = R"(#version 100
precision mediump float;
uniform sampler2D picture;
varying vec2 sphereCoord;
void main() {
  gl_FragColor = texture2D(picture, sphereCoord) * vec4(0.85, 1.0, 0.85, 1.0);
}
)";

// Compiles one shader; 0 with `error` set when it does not compile.
GLuint Compile(GLenum kind, std::string_view source, std::string& error) {
  const GLuint shader = glCreateShader(kind);
  const GLchar* text = source.data();
  const GLint length = static_cast<GLint>(source.size());
  glShaderSource(shader, 1, &text, &length);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled == GL_TRUE) return shader;
  GLchar log[1024] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  error = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
  glDeleteShader(shader);
  return 0;
}

bool IsPowerOfTwo(std::int32_t n) {
  return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace

const std::string_view kSurfaceVertexShader = kVertexSource;
const std::string_view kSurfaceFragmentShader = kFragmentSource;

Matrix4 ScenePerspective(std::int32_t width, std::int32_t height) {
  if (height == 0) height = 1;
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  constexpr double kNear = 1.0, kFar = 100.0;
  const double half = 45.0 / 2.0 * kPi / 180.0;
  const double f = std::cos(half) / std::sin(half);
  Matrix4d m{};
  m[0] = f / aspect;
  m[5] = f;
  m[10] = (kFar + kNear) / (kNear - kFar);
  m[11] = -1.0;
  m[14] = 2.0 * kFar * kNear / (kNear - kFar);
  return ToFloat(m);
}

Matrix4 SceneModelView(float tiltDegrees, float turnDegrees) {
  const double tilt = tiltDegrees * kPi / 180.0, turn = turnDegrees * kPi / 180.0;
  const double ct = std::cos(tilt), st = std::sin(tilt), cy = std::cos(turn), sy = std::sin(turn);
  const Matrix4d shift = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0.2, -4.5, 1};
  const Matrix4d aboutX = {1, 0, 0, 0, 0, ct, st, 0, 0, -st, ct, 0, 0, 0, 0, 1};
  const Matrix4d aboutY = {cy, 0, -sy, 0, 0, 1, 0, 0, sy, 0, cy, 0, 0, 0, 0, 1};
  return ToFloat(Multiply(Multiply(shift, aboutX), aboutY));
}

std::uint32_t SetUpSceneGles(const BitmapPixels& bitmap) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepthf(1.0f);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);  // adds the square of the drawn colour
  glEnable(GL_BLEND);

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // Sphere-map coordinates stay within 0..1; a picture whose sides are not powers of two is sampled
  // clamped, the only way WebGL 1 samples one (the fixed-function path scales it to powers of two).
  if (!IsPowerOfTwo(bitmap.width) || !IsPowerOfTwo(bitmap.height)) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  // The reader pads each row to 4 bytes, matching the default unpack alignment left in place here.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, bitmap.width, bitmap.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               bitmap.pixels.data());
  return texture;
}

void GlesViewTargets::ReleaseTexture(std::uint32_t texture) {
  const GLuint id = texture;
  glDeleteTextures(1, &id);
}

bool SurfaceProgram::Init(std::string_view vertexShader) {
  Release();
  error_.clear();
  const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexShader, error_);
  const GLuint fragment = vertex != 0 ? Compile(GL_FRAGMENT_SHADER, kSurfaceFragmentShader, error_) : 0;
  if (fragment == 0) {
    if (vertex != 0) glDeleteShader(vertex);
    return false;
  }
  program_ = glCreateProgram();
  glAttachShader(program_, vertex);
  glAttachShader(program_, fragment);
  // The position on attribute 0: a desktop compatibility context draws nothing without attribute 0.
  glBindAttribLocation(program_, 0, "position");
  glBindAttribLocation(program_, 1, "normal");
  glLinkProgram(program_);
  glDeleteShader(vertex);  // kept alive by the program until it goes
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    GLchar log[1024] = {};
    glGetProgramInfoLog(program_, sizeof log, nullptr, log);
    error_ = std::string("shader program: ") + log;
    Release();
    return false;
  }
  positionAttribute_ = glGetAttribLocation(program_, "position");
  normalAttribute_ = glGetAttribLocation(program_, "normal");
  projectionUniform_ = glGetUniformLocation(program_, "projection");
  modelViewUniform_ = glGetUniformLocation(program_, "modelView");
  normalMatrixUniform_ = glGetUniformLocation(program_, "normalMatrix");
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "picture"), 0);

  GLuint id = 0;
  const std::vector<GLushort> indices = StripIndices();
  glGenBuffers(1, &id);
  indexBuffer_ = id;
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLushort)), indices.data(),
               GL_STATIC_DRAW);
  glGenBuffers(1, &id);
  vertexBuffer_ = id;
  glGenBuffers(1, &id);
  normalBuffer_ = id;
  return true;
}

void SurfaceProgram::SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  if (height == 0) height = 1;
  glViewport(x, y, width, height);
  projection_ = ScenePerspective(width, height);
}

void SurfaceProgram::Draw(RainScene& scene, std::uint32_t texture) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (program_ == 0) return;
  const Matrix4 modelView = SceneModelView(scene.TiltAngle, scene.TurnAngle);
  const std::array<float, 9> normalMatrix = {modelView[0], modelView[1], modelView[2], modelView[4], modelView[5],
                                             modelView[6], modelView[8], modelView[9], modelView[10]};
  glUseProgram(program_);
  glUniformMatrix4fv(projectionUniform_, 1, GL_FALSE, projection_.data());
  glUniformMatrix4fv(modelViewUniform_, 1, GL_FALSE, modelView.data());
  glUniformMatrix3fv(normalMatrixUniform_, 1, GL_FALSE, normalMatrix.data());
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);

  BuildSurfaceMesh(scene);
  // WebGL draws from buffers only: the mesh goes over whole each frame.
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBufferData(GL_ARRAY_BUFFER, sizeof scene.SurfaceVertices, scene.SurfaceVertices, GL_STREAM_DRAW);
  glVertexAttribPointer(static_cast<GLuint>(positionAttribute_), 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glEnableVertexAttribArray(static_cast<GLuint>(positionAttribute_));
  glBindBuffer(GL_ARRAY_BUFFER, normalBuffer_);
  glBufferData(GL_ARRAY_BUFFER, sizeof scene.SurfaceNormals, scene.SurfaceNormals, GL_STREAM_DRAW);
  glVertexAttribPointer(static_cast<GLuint>(normalAttribute_), 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glEnableVertexAttribArray(static_cast<GLuint>(normalAttribute_));

  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  for (int k = 0; k < kStrips; ++k) {
    const std::size_t offset = static_cast<std::size_t>(k) * kStripVertices * sizeof(GLushort);
    glDrawElements(GL_TRIANGLE_STRIP, kStripVertices, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset));
  }
}

void SurfaceProgram::DrawView(SceneView& view) {
  // A view on part of the drawable keeps its clear inside that part.
  const PixelRect box = view.place.FromBottom();
  const bool part = !view.place.IsWhole();
  SetViewport(box.x, box.y, box.width, box.height);
  if (part) {
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
  }
  Draw(view.scene, view.texture);
  if (part) glDisable(GL_SCISSOR_TEST);
}

void SurfaceProgram::Release() {
  if (program_ != 0) glDeleteProgram(program_);
  for (std::uint32_t* buffer : {&indexBuffer_, &vertexBuffer_, &normalBuffer_}) {
    if (*buffer != 0) {
      const GLuint id = *buffer;
      glDeleteBuffers(1, &id);
    }
    *buffer = 0;
  }
  program_ = 0;
}

}  // namespace orlinde
