#include "host/button/ButtonFace.h"

#include <cmath>

namespace orlinde::button {

std::array<FramePiece, 8> FramePieces(int w, int h) {
  constexpr int c = kCorner;
  constexpr int runX = kImageWidth - 2 * c;   // 56
  constexpr int runY = kImageHeight - 2 * c;  // 17
  constexpr int right = kImageWidth - c, bottom = kImageHeight - c;
  return {{
      {{0, 0, c, c}, {0, 0, c, c}},
      {{c, 0, w - 2 * c, c}, {c, 0, runX, c}},
      {{w - c, 0, c, c}, {right, 0, c, c}},
      {{w - c, c, c, h - 2 * c}, {right, c, c, runY}},
      {{w - c, h - c, c, c}, {right, bottom, c, c}},
      {{c, h - c, w - 2 * c, c}, {c, bottom, runX, c}},
      {{0, h - c, c, c}, {0, bottom, c, c}},
      {{0, c, c, h - 2 * c}, {0, c, c, runY}},
  }};
}

void DrawGradient(PixelBuffer& face, bool reversed) {
  const Pixel top = reversed ? kGradientDark : kGradientLight;
  const Pixel bottom = reversed ? kGradientLight : kGradientDark;
  const int h = face.Height();
  for (int y = 0; y < h; ++y) {
    const std::int64_t span = h > 1 ? h - 1 : 1, t = h > 1 ? y : 0;
    auto channel = [&](unsigned a, unsigned b) {
      const std::int64_t a16 = a * 256, b16 = b * 256;
      return static_cast<unsigned>((a16 * (span - t) + b16 * t) / span) >> 8;
    };
    const Pixel row = Rgb(channel(RedOf(top), RedOf(bottom)), channel(GreenOf(top), GreenOf(bottom)),
                          channel(BlueOf(top), BlueOf(bottom)));
    for (int x = 0; x < face.Width(); ++x) face.At(x, y) = row;
  }
}

void PaintFace(PixelBuffer& face, const PixelBuffer& image, bool gradientReversed) {
  DrawGradient(face, gradientReversed);
  if (image.Width() != kImageWidth || image.Height() != kImageHeight) return;
  for (const FramePiece& piece : FramePieces(face.Width(), face.Height())) {
    StretchCopy(face, piece.to, image, piece.from);
  }
}

Rect CaptionRect(int faceWidth, int faceHeight, int captionHeight, int twipsPerPixel) {
  const double topTwips = (static_cast<double>(faceHeight - captionHeight) * twipsPerPixel - 20.0) / 2.0;
  const int top = static_cast<int>(std::floor(topTwips / twipsPerPixel + 0.5));
  return {0, top, faceWidth, captionHeight};
}

}  // namespace orlinde::button
