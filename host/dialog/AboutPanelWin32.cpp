#include "host/dialog/AboutPanelWin32.h"

#include <array>
#include <string>

#include "assets/HostResources.h"
#include "common/CodePageWin32.h"
#include "host/button/FontWin32.h"
#include "host/button/PixelBufferWin32.h"
#include "host/forms/SystemNamesWin32.h"

namespace orlinde::dialog {

namespace {

// The panel's pixel constants do not follow the display's dots per inch: its text is 14 points at 96.
constexpr int kPanelDpi = 96;

std::array<PixelBuffer, kStarFrames> SparklePictures() {
  return {PixelsFromBitmapResource(IDB_SPARKLE0), PixelsFromBitmapResource(IDB_SPARKLE1),
          PixelsFromBitmapResource(IDB_SPARKLE2), PixelsFromBitmapResource(IDB_SPARKLE3)};
}

// `text` drawn once at (2, 2) in `colour` over `background`, without a background box. Every layer uses
// the same font and no smoothing, so that the letters of the live text and of both masks match pixel for
// pixel.
PixelBuffer TextLayer(const std::wstring& text, HFONT font, COLORREF colour, COLORREF background) {
  const forms::DibSurface surface(kPanelWidth, kPanelHeight, background);
  if (!surface.Valid()) return {};
  {
    const forms::Selection selected(surface.Dc(), font);
    SetBkMode(surface.Dc(), TRANSPARENT);
    SetTextColor(surface.Dc(), colour);
    TextOutW(surface.Dc(), kTextX, kTextY, text.c_str(), static_cast<int>(text.size()));
  }
  return PixelsOf(surface);
}

}  // namespace

AboutPanelControl::AboutPanelControl(forms::Container& container, Rect bounds)
    : forms::WindowedControl(container, bounds), panel_(PixelsFromBitmapResource(IDB_STREAK), SparklePictures()) {}

void AboutPanelControl::SetUp(std::string_view text) {
  const std::wstring shown = FromUtf8(text);
  forms::FontSpec spec;
  spec.face = UsableFace(FromUtf8(kTextFont), ANSI_CHARSET);
  spec.pixelHeight = MulDiv(kTextPointSize, kPanelDpi, 72);
  spec.charset = ANSI_CHARSET;
  spec.quality = NONANTIALIASED_QUALITY;
  const forms::FontObject font = forms::MakeFont(spec);
  constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
  const PixelBuffer live = TextLayer(shown, font.Get(), ToColourRef(kTextColour), kBlack);
  const PixelBuffer blackOnWhite = TextLayer(shown, font.Get(), kBlack, kWhite);
  const PixelBuffer whiteOnBlack = TextLayer(shown, font.Get(), kWhite, kBlack);
  panel_.SetUp(live, blackOnWhite, whiteOnBlack);
}

void AboutPanelControl::DrawFrame() {
  panel_.DrawFrame();
  if (Hwnd() == nullptr) return;
  const forms::WindowDc dc(Hwnd());
  ShowFrame(dc.Get());
}

void AboutPanelControl::ShowFrame(HDC dc) const {
  BlitPixels(dc, 0, 0, panel_.Frame());
}

LRESULT AboutPanelControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      // An uncovered panel shows the last frame again (black before the first).
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(Hwnd(), &paint);
      ShowFrame(dc);
      EndPaint(Hwnd(), &paint);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, forms::WideName(IDC_HAND)));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(Hwnd());
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      if (GetCapture() == Hwnd()) ReleaseCapture();
      RECT client{};
      GetClientRect(Hwnd(), &client);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (wasPressed && PtInRect(&client, at) && Click) Click();
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    default:
      break;
  }
  return forms::WindowedControl::HandleMessage(message, wParam, lParam);
}

}  // namespace orlinde::dialog
