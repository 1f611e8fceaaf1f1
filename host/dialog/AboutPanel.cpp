#include "host/dialog/AboutPanel.h"

#include <algorithm>
#include <utility>

namespace orlinde::dialog {

namespace {

// `layer` placed at (0, 0) over a panel-sized buffer of `background`.
PixelBuffer PanelSized(const PixelBuffer& layer, Pixel background) {
  PixelBuffer out(kPanelWidth, kPanelHeight, background);
  CopyAt(out, 0, 0, layer);
  return out;
}

}  // namespace

Pixel BlendPixel(Pixel dst, Pixel src, const BlendParameters& blend) {
  auto channel = [&](unsigned d, unsigned s) { return std::min(255u, d + s * blend.sourceConstantAlpha / 255u); };
  return Rgb(channel(RedOf(dst), RedOf(src)), channel(GreenOf(dst), GreenOf(src)), channel(BlueOf(dst), BlueOf(src)));
}

void BlendAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src, const BlendParameters& blend) {
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(dst.Width(), x + src.Width()), y1 = std::min(dst.Height(), y + src.Height());
  for (int dy = y0; dy < y1; ++dy) {
    for (int dx = x0; dx < x1; ++dx) dst.At(dx, dy) = BlendPixel(dst.At(dx, dy), src.At(dx - x, dy - y), blend);
  }
}

AboutPanel::AboutPanel(PixelBuffer hilite, std::array<PixelBuffer, kStarFrames> stars)
    : picHilite_(std::move(hilite)), picStar_(std::move(stars)) {}

void AboutPanel::SetUp(const PixelBuffer& liveText, const PixelBuffer& maskBlackOnWhite,
                       const PixelBuffer& maskWhiteOnBlack) {
  constexpr Pixel kBlack = 0, kWhite = Hex(0xFFFFFF);
  picBuffer_.Resize(kPanelWidth, kPanelHeight, kBlack);
  picBlank_.Resize(kPanelWidth, kPanelHeight, kBlack);
  picText_.Resize(kPanelWidth, kPanelHeight, kBlack);
  picTextM_ = PanelSized(maskBlackOnWhite, kWhite);
  picTextB_ = PanelSized(maskWhiteOnBlack, kBlack);
  liveText_ = PanelSized(liveText, kBlack);
  lHiliteX_ = -kHiliteWidth;
  bStarOn_ = false;
}

void AboutPanel::ClearBuffer() {
  CopyAt(picBuffer_, 0, 0, picBlank_);
}

void AboutPanel::Cleartext() {
  CopyAt(picText_, 0, 0, picBlank_);
}

void AboutPanel::ApplyHiLite(std::int32_t X) {
  BlendAt(picText_, X, 0, picHilite_);
}

void AboutPanel::ApplyStar(std::int16_t img, std::int32_t X, std::int32_t Y) {
  if (img < 0 || img >= kStarFrames) return;  // only the four drawn pictures exist here
  BlendAt(picBuffer_, X, Y, picStar_[static_cast<std::size_t>(img)]);
}

AboutPanel::FrameReport AboutPanel::DrawFrame() {
  FrameReport report;
  ClearBuffer();
  Cleartext();
  CopyAt(picText_, 0, 0, liveText_);  // the pale yellow text, transparent over black
  report.hiliteX = lHiliteX_;
  ApplyHiLite(lHiliteX_);
  AndAt(picText_, 0, 0, picTextB_);    // streak light stays on the letters only
  AndAt(picBuffer_, 0, 0, picTextM_);  // a letter-shaped hole
  OrAt(picBuffer_, 0, 0, picText_);    // filled with the lit text

  lHiliteX_ += kHiliteStep;
  if (kPanelWidth < lHiliteX_) lHiliteX_ = -kHiliteWidth;

  if (lHiliteX_ > 250 && lHiliteX_ < 280 && !bStarOn_) {
    bStarOn_ = true;
    iStarStep_ = 1;
    iStar_ = 0;
  }
  if (bStarOn_) {
    report.star = iStar_;
    ApplyStar(iStar_, kStarX, kStarY);
    iStar_ = static_cast<std::int16_t>(iStar_ + iStarStep_);
    if (iStarStep_ > 0 && iStar_ == 4) {
      iStarStep_ = static_cast<std::int16_t>(-iStarStep_);
      iStar_ = static_cast<std::int16_t>(iStar_ + iStarStep_);
    } else if (iStarStep_ < 0 && iStar_ < 0) {
      bStarOn_ = false;
    }
  }
  return report;
}

}  // namespace orlinde::dialog
