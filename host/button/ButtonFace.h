// The button's face: a vertical two-colour gradient framed by eight pieces cut from one of six 64 × 25
// state images. Everything is in pixels; at 15 twips per pixel the frame's 60-twip corner is 4 pixels
// (the 1-twip offsets of the frame pieces are below one pixel and vanish).
#pragma once

#include <array>
#include <cstddef>

#include "host/button/PixelBuffer.h"

namespace orlinde::button {

// The six state images, in the order the generator makes them and the shell loads them.
enum class ButtonImage { Normal, HighLight, Pressed, Disable, Selected, HighLightSelect };
inline constexpr std::size_t kImageCount = 6;

inline constexpr int kImageWidth = 64;
inline constexpr int kImageHeight = 25;
inline constexpr int kCorner = 4;  // width of the drawn band: corners are kCorner × kCorner

struct ButtonImages {
  std::array<PixelBuffer, kImageCount> images;
  const PixelBuffer& operator[](ButtonImage which) const { return images[static_cast<std::size_t>(which)]; }
  PixelBuffer& operator[](ButtonImage which) { return images[static_cast<std::size_t>(which)]; }
};

// The gradient's two colours (white and red C6, green C5, blue D7). Each channel is carried as a 16-bit
// vertex value v × 256 and interpolated in that width.
inline constexpr Pixel kGradientLight = Hex(0xFFFFFF);
inline constexpr Pixel kGradientDark = Hex(0xC6C5D7);

// One frame piece: where it goes on the face and where it comes from in the state image.
struct FramePiece {
  Rect to;
  Rect from;
};

// The eight pieces for a face of the given size, in drawing order: top-left corner, top edge, top-right
// corner, right edge, bottom-right corner, bottom edge, bottom-left corner, left edge. Corners are copied
// at their size; the top and bottom edges stretch the image's 56-pixel middle run to the face width less
// 8, the side edges its 17-pixel middle run to the face height less 8.
std::array<FramePiece, 8> FramePieces(int faceWidth, int faceHeight);

// Fills the whole face with the vertical gradient: the first row is the top colour, the last row the
// bottom colour. Not reversed: white at the top, C6C5D7 at the bottom; reversed: the other way round.
void DrawGradient(PixelBuffer& face, bool reversed);

// Gradient, then the eight pieces of `image` in table order. Pieces of an image that is missing or not
// 64 × 25, and pieces without area (a face smaller than 8 pixels), are skipped: the gradient shows there.
void PaintFace(PixelBuffer& face, const PixelBuffer& image, bool gradientReversed);

// Where the caption goes: the full face width, top = (face height − caption height − 20 twips) ÷ 2,
// rounded to the nearest pixel; its own height.
Rect CaptionRect(int faceWidth, int faceHeight, int captionHeight, int twipsPerPixel = 15);

}  // namespace orlinde::button
