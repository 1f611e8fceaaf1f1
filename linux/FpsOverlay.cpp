#include "linux/FpsOverlay.h"

#include "scene/Gl.h"

namespace orlinde {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kScale = 2;  // each font pixel drawn 2 × 2

struct Glyph {
  char character;
  const char* rows[kGlyphHeight];  // top row first; '#' is lit
};

constexpr Glyph kFont[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {'f', {"..##.", ".#...", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {'p', {".....", ".....", "####.", "#...#", "####.", "#....", "#...."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
};

const Glyph* FindGlyph(char c) {
  for (const Glyph& glyph : kFont) {
    if (glyph.character == c) return &glyph;
  }
  return nullptr;
}

// glBitmap's form of a glyph at twice its size: rows bottom-up, one 16-bit row in two bytes, high bit left.
void GlyphBits(const Glyph& glyph, GLubyte (&bits)[kGlyphHeight * kScale][2]) {
  for (int row = 0; row < kGlyphHeight; ++row) {
    unsigned wide = 0;
    for (int column = 0; column < kGlyphWidth; ++column) {
      if (glyph.rows[row][column] == '#') wide |= 3u << (14 - kScale * column);
    }
    for (int copy = 0; copy < kScale; ++copy) {
      GLubyte* out = bits[(kGlyphHeight - 1 - row) * kScale + copy];
      out[0] = static_cast<GLubyte>(wide >> 8);
      out[1] = static_cast<GLubyte>(wide & 0xFF);
    }
  }
}

}  // namespace

void DrawOverlayText(const std::string& text, std::int32_t width, std::int32_t height) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_PIXEL_MODE_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // The glyphs' rows are two bytes each, read without padding; the scene's own setting is put back after.
  GLint unpackAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glColor3f(1.0f, 1.0f, 1.0f);
  const int margin = 8;
  glRasterPos2i(margin, height - margin - kGlyphHeight * kScale);
  for (const char c : text) {
    GLubyte bits[kGlyphHeight * kScale][2] = {};
    if (const Glyph* glyph = FindGlyph(c)) GlyphBits(*glyph, bits);
    glBitmap(16, kGlyphHeight * kScale, 0.0f, 0.0f, (kGlyphWidth + 1) * kScale, 0.0f, &bits[0][0]);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

}  // namespace orlinde
