// The form layer on a real Win32 (Wine): twips and pixels, the load / query-unload / unload order and its
// cancels, the end of the message loop with the last form, timers, windowless controls painted and clicked
// on their container, the persistent picture-box image, and the preview form inside a foreign area.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "assets/HostResources.h"
#include "host/app/PreviewFormWin32.h"
#include "host/forms/AppWin32.h"
#include "host/forms/ControlsWin32.h"
#include "host/forms/FormWin32.h"
#include "host/forms/TimerWin32.h"
#include "host/forms/Units.h"

using namespace orlinde::forms;
using orlinde::MouseButton;
using orlinde::Rect;

namespace {

// Runs queued messages until `done` is true or 5 s have passed. A quit message (posted when the last form
// unloads) is taken out of the way and remembered.
bool sawQuit = false;
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        sawQuit = true;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// A form that records its events and can cancel them.
class ProbeForm : public Form {
 public:
  explicit ProbeForm(std::wstring caption = L"Forms Probe") : Form(std::move(caption)) {}
  std::vector<std::string> events;
  std::vector<UnloadMode> modes;
  bool cancelQuery = false;
  bool cancelUnload = false;
  std::function<void()> onLoad;

 protected:
  SIZE InitialClientSize() const override { return SIZE{120, 80}; }
  void OnLoad() override {
    events.push_back("load");
    if (onLoad) onLoad();
  }
  void OnQueryUnload(bool& cancel, UnloadMode mode) override {
    events.push_back("query");
    modes.push_back(mode);
    cancel = cancelQuery;
  }
  void OnUnload(bool& cancel) override {
    events.push_back("unload");
    cancel = cancelUnload;
  }
};

using Events = std::vector<std::string>;

COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

void ShowAndPaint(Form& form, int left, int top) {
  form.Show();
  SetWindowPos(form.Hwnd(), HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(form.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(100);
}

// Pixel of a 24-bit bitmap resource, top-down coordinates, as a COLORREF.
class Bitmap24 {
 public:
  explicit Bitmap24(const Picture& picture) : width(picture.Width()), height(picture.Height()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    pixels.resize(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, picture.Handle(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  }
  COLORREF At(int x, int y) const {
    const DWORD p = pixels[static_cast<std::size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int width;
  int height;
  std::vector<DWORD> pixels;
};

int ColourDistance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

}  // namespace

// --- twips and pixels -------------------------------------------------------------------------------

TEST(TwipsTest, TwipsPerPixelAtCommonScreenResolutions) {
  EXPECT_EQ(15, (TwipsScale{96, 96}.TwipsPerPixelX()));
  EXPECT_EQ(12, (TwipsScale{120, 120}.TwipsPerPixelY()));
  EXPECT_EQ(10, (TwipsScale{144, 144}.TwipsPerPixelX()));
  EXPECT_EQ(20, (TwipsScale{72, 72}.TwipsPerPixelX()));
  EXPECT_EQ(1, (TwipsScale{0, 0}.TwipsPerPixelX())) << "a screen reporting no resolution still divides";
  // Wine's screen here is 96 dpi.
  EXPECT_EQ(15, app::Scale().TwipsPerPixelX());
  EXPECT_EQ(15, app::Scale().TwipsPerPixelY());
}

TEST(TwipsTest, DesignSizesConvertBothWays) {
  const TwipsScale s{96, 96};
  EXPECT_EQ(2280, s.PixelsToTwipsX(152));
  EXPECT_EQ(1680, s.PixelsToTwipsY(112));
  EXPECT_EQ(256, s.TwipsToPixelsX(3840));
  EXPECT_EQ(481, s.TwipsToPixelsX(7215));
  // Part pixels round to the nearest, halves away from zero, the same on both sides of 0.
  EXPECT_EQ(0, s.TwipsToPixelsX(7));
  EXPECT_EQ(1, s.TwipsToPixelsX(8));
  EXPECT_EQ(-1, s.TwipsToPixelsX(-8));
  EXPECT_EQ(-2280, s.PixelsToTwipsX(-152));
}

TEST(TwipsTest, PixelsSurviveTheRoundTripThroughTwipsAtAnyResolution) {
  for (int dpi : {72, 96, 110, 120, 144, 192, 240}) {
    const TwipsScale s{dpi, dpi};
    for (int pixels = -3000; pixels <= 3000; pixels += 7) {
      ASSERT_EQ(pixels, s.TwipsToPixelsX(s.PixelsToTwipsX(pixels))) << dpi << " dpi, " << pixels << " px";
    }
  }
  EXPECT_EQ(2000000000, ScaleRounded(2000000000, 1440, 1440)) << "no 32-bit overflow inside";
}

// --- load, unload and their events ------------------------------------------------------------------

TEST(FormTest, LoadMakesAHiddenWindowAndUnloadAsksFirst) {
  ProbeForm form(L"Velsora_Main");
  EXPECT_EQ(nullptr, form.Hwnd());
  ASSERT_TRUE(form.Load());
  const HWND window = form.Hwnd();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window)) << "loading does not show";
  EXPECT_EQ(window, FindWindowA(nullptr, "Velsora_Main")) << "a hidden form is found by its caption";
  EXPECT_EQ(1, app::LoadedForms());
  EXPECT_TRUE(form.Load()) << "a second load changes nothing";
  EXPECT_EQ((Events{"load"}), form.events);

  sawQuit = false;
  EXPECT_TRUE(form.Unload());
  EXPECT_EQ((Events{"load", "query", "unload"}), form.events);
  EXPECT_EQ(UnloadMode::Code, form.modes.at(0));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, app::LoadedForms());
  PumpFor(50);
  EXPECT_TRUE(sawQuit) << "the last form's unload ends the message loop";
}

TEST(FormTest, EitherEventCanCancelTheUnload) {
  ProbeForm form;
  ASSERT_TRUE(form.Load());
  form.cancelQuery = true;
  EXPECT_FALSE(form.Unload());
  EXPECT_EQ((Events{"load", "query"}), form.events) << "a cancelled query skips the unload event";
  EXPECT_TRUE(form.Loaded());

  form.cancelQuery = false;
  form.cancelUnload = true;
  EXPECT_FALSE(form.Unload());
  EXPECT_TRUE(form.Loaded());
  EXPECT_TRUE(IsWindow(form.Hwnd()));

  form.cancelUnload = false;
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(0, app::LoadedForms());
}

TEST(FormTest, CloseRequestsAndSessionEndGoThroughQueryUnload) {
  ProbeForm form;
  ASSERT_TRUE(form.Load());
  form.cancelQuery = true;
  SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Loaded()) << "WM_CLOSE can be refused";
  EXPECT_EQ(FALSE, SendMessageW(form.Hwnd(), WM_QUERYENDSESSION, 0, 0)) << "so can the session's end";
  EXPECT_EQ((std::vector<UnloadMode>{UnloadMode::ControlMenu, UnloadMode::SessionEnd}), form.modes);

  form.cancelQuery = false;
  PostMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !form.Loaded(); }));
  EXPECT_EQ(UnloadMode::ControlMenu, form.modes.back());
}

TEST(FormTest, AFormWhoseParentIsDestroyedUnloadsWithItAndCannotCancel) {
  const HWND parent =
      CreateWindowExW(0, L"STATIC", L"area", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ProbeForm form;
  ASSERT_TRUE(form.Load());
  SetWindowLongW(form.Hwnd(), GWL_STYLE, (GetWindowLongW(form.Hwnd(), GWL_STYLE) | WS_CHILD) & ~WS_POPUP);
  SetParent(form.Hwnd(), parent);
  form.cancelQuery = true;
  form.cancelUnload = true;
  DestroyWindow(parent);
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ((Events{"load", "query", "unload"}), form.events);
  EXPECT_EQ(UnloadMode::WindowGone, form.modes.back());
  EXPECT_EQ(0, app::LoadedForms());
  EXPECT_TRUE(form.Load()) << "and can be loaded again";
  form.cancelQuery = form.cancelUnload = false;
  form.Unload();
}

TEST(FormTest, ModalShowReturnsWhenTheFormHasUnloaded) {
  PumpFor(20);  // the quit message of an earlier test's last form would end the modal loop at once
  ProbeForm form;
  Timer closer(form, 30, true, [&] { form.Unload(); });
  form.Show(ShowMode::Modal);
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ((Events{"load", "query", "unload"}), form.events);
}

TEST(FormTest, ShownTextIsWide) {
  ProbeForm form(L"<Orlinde>");
  ASSERT_TRUE(form.Load());
  form.SetCaption(L"音楽CD ﾘﾋﾟｰﾄ");
  wchar_t text[64] = {};
  GetWindowTextW(form.Hwnd(), text, 64);
  EXPECT_EQ(std::wstring(L"音楽CD ﾘﾋﾟｰﾄ"), text);
  form.Unload();
}

TEST(FormTest, MoveTakesTwips) {
  ProbeForm form;
  ASSERT_TRUE(form.Load());
  form.Move(1500, 3000, 2280, 1680);
  RECT rect{};
  GetWindowRect(form.Hwnd(), &rect);
  EXPECT_EQ(100, rect.left);
  EXPECT_EQ(200, rect.top);
  EXPECT_EQ(152, rect.right - rect.left);
  EXPECT_EQ(112, rect.bottom - rect.top);
  const Rect twips = form.TwipsArea();
  EXPECT_EQ(1500, twips.x);
  EXPECT_EQ(1680, twips.height);
  form.Unload();
}

// --- timers -----------------------------------------------------------------------------------------

TEST(TimerTest, EnabledTimersTickOnTheMessageLoopAndStopWithTheForm) {
  ProbeForm form;
  int fast = 0;
  int off = 0;
  int zero = 0;
  Timer ticking(form, 20, true, [&] { ++fast; });
  Timer disabled(form, 20, false, [&] { ++off; });
  Timer noInterval(form, 0, true, [&] { ++zero; });
  // Timers made before the load start with it.
  ASSERT_TRUE(form.Load());
  EXPECT_EQ(0, fast) << "no tick before the message loop runs";
  EXPECT_TRUE(PumpUntil([&] { return fast >= 3; }));
  EXPECT_EQ(0, off);
  EXPECT_EQ(0, zero);

  disabled.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return off >= 1; }));
  form.Unload();
  const int after = fast;
  PumpFor(100);
  EXPECT_EQ(after, fast) << "no tick after the unload";
}

TEST(TimerTest, ATickThatTurnsItsTimerOffIsTheLast) {
  ProbeForm form;
  int ticks = 0;
  Timer once(form, 10, true);
  once.Tick = [&] {
    ++ticks;
    once.SetEnabled(false);
  };
  int other = 0;
  Timer witness(form, 10, true, [&] { ++other; });
  ASSERT_TRUE(form.Load());
  EXPECT_TRUE(PumpUntil([&] { return other >= 5; }));
  EXPECT_EQ(1, ticks);
  form.Unload();
}

// --- controls ---------------------------------------------------------------------------------------

TEST(ControlTest, WindowlessControlsPaintOverTheirContainerAndTakeItsMouse) {
  ProbeForm form;
  form.SetBackColor(RGB(0, 0, 0));
  PictureBox panel(form, {10, 10, 80, 60}, RGB(0, 0, 255));
  Shape frame(panel, {5, 5, 30, 20}, RGB(255, 255, 255));
  Image mark(panel, {50, 30, 13, 13});
  Label label(form, {100, 10, 20, 20}, L"x");
  std::vector<std::string> presses;
  auto name = [](MouseButton button) {
    return button == MouseButton::Left ? "left" : button == MouseButton::Right ? "right" : "middle";
  };
  mark.MouseDown = [&](MouseButton button, int, int x, int y) {
    presses.push_back("mark " + std::string(name(button)) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  label.MouseDown = [&](MouseButton button, int, int, int) { presses.push_back("label " + std::string(name(button))); };
  int clicks = 0;
  label.Click = [&] { ++clicks; };
  ASSERT_TRUE(form.Load());
  ShowAndPaint(form, 300, 300);

  EXPECT_EQ(RGB(0, 0, 0), PixelOf(form.Hwnd(), 5, 5)) << "form background";
  EXPECT_EQ(RGB(0, 0, 255), PixelOf(panel.Hwnd(), 20, 15)) << "inside the outline the panel shows through";
  EXPECT_EQ(RGB(255, 255, 255), PixelOf(panel.Hwnd(), 5, 15)) << "the outline";

  SendMessageW(panel.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(52, 33));
  SendMessageW(panel.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));  // on nothing
  SendMessageW(form.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(105, 15));
  SendMessageW(form.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(105, 15));
  label.SetEnabled(false);
  SendMessageW(form.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(105, 15));
  EXPECT_EQ((std::vector<std::string>{"mark right 2,3", "label left"}), presses) << "disabled controls take no mouse";
  EXPECT_EQ(1, clicks);
  form.Unload();
}

TEST(ControlTest, PictureBoxKeepsWhatIsDrawnIntoItsImage) {
  ProbeForm form;
  PictureBox box(form, {0, 0, 40, 40}, RGB(0, 0, 0));
  ASSERT_TRUE(form.Load());
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT square{0, 0, 20, 20};
  FillRect(box.Dc(), &square, red);
  DeleteObject(red);
  box.Refresh();
  ShowAndPaint(form, 300, 300);
  EXPECT_EQ(RGB(255, 0, 0), PixelOf(box.Hwnd(), 10, 10));

  // Hidden and shown again, or made larger: the image is still there, without being drawn again.
  form.Hide();
  box.Move({0, 0, 60, 60});
  ShowAndPaint(form, 300, 300);
  EXPECT_EQ(RGB(255, 0, 0), PixelOf(box.Hwnd(), 10, 10));
  EXPECT_EQ(RGB(0, 0, 0), PixelOf(box.Hwnd(), 50, 50)) << "new area in the back colour";

  box.Cls();
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(box.Dc(), 10, 10));
  form.Unload();
}

TEST(ControlTest, ComboBoxKeepsTextAndListAcrossLoad) {
  ProbeForm form;
  ComboBox combo(form, {0, 0, 41, 20});
  combo.SetText(L"5");
  combo.AddItem(L"");
  combo.AddItem(L"1");
  ASSERT_TRUE(form.Load());
  EXPECT_EQ(L"5", combo.Text());
  EXPECT_EQ(2, SendMessageW(combo.Hwnd(), CB_GETCOUNT, 0, 0));
  SetWindowTextW(combo.Hwnd(), L"12");
  EXPECT_EQ(L"12", combo.Text()) << "typed text is read from the control";
  combo.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(combo.Hwnd()));
  form.Unload();
  EXPECT_EQ(L"12", combo.Text());
}

// --- the preview form -------------------------------------------------------------------------------

namespace {
HWND MakeArea(int width, int height) {
  return CreateWindowExW(0, L"STATIC", L"area", WS_POPUP | WS_VISIBLE, 200, 200, width, height, nullptr, nullptr,
                         nullptr, nullptr);
}
}  // namespace

TEST(PreviewTest, FillsTheAreaWithThePictureAndEndsWithIt) {
  const Bitmap24 picture(Picture::FromResource(IDB_PREVIEW));
  ASSERT_EQ(152, picture.width);
  ASSERT_EQ(112, picture.height);

  struct Case {
    int width;
    int height;
  };
  for (const Case c : {Case{152, 112}, Case{304, 224}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const HWND area = MakeArea(c.width, c.height);
    orlinde::OpenPreview(area);
    orlinde::Velsora_R& form = orlinde::PreviewForm();
    ASSERT_TRUE(form.Loaded());
    EXPECT_EQ(area, GetParent(form.Hwnd()));
    EXPECT_TRUE(GetWindowLongW(form.Hwnd(), GWL_STYLE) & WS_CHILD);
    RECT client{};
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(c.width, client.right);
    EXPECT_EQ(c.height, client.bottom);
    RedrawWindow(form.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpFor(100);

    // Sample the picture over its whole area: the same colours, scaled to the area (exactly at its own size;
    // close on average when stretched, where neighbouring pixels blend).
    const int scale = c.width / 152;
    int worst = 0;
    int total = 0;
    int samples = 0;
    for (int y = 2; y < 112; y += 9) {
      for (int x = 2; x < 152; x += 11) {
        const COLORREF shown = PixelOf(form.Hwnd(), x * scale + scale / 2, y * scale + scale / 2);
        const int distance = ColourDistance(shown, picture.At(x, y));
        worst = distance > worst ? distance : worst;
        total += distance;
        ++samples;
      }
    }
    if (scale == 1) {
      EXPECT_EQ(0, worst);
    } else {
      EXPECT_LE(total / samples, 20);
    }

    sawQuit = false;
    DestroyWindow(area);
    EXPECT_FALSE(form.Loaded()) << "the area's end unloads the preview";
    PumpFor(50);
    EXPECT_TRUE(sawQuit);
  }
}

TEST(PreviewTest, ANumberThatNamesNoWindowOpensNothing) {
  orlinde::OpenPreview(nullptr);
  EXPECT_EQ(0, app::LoadedForms());
  const HWND gone = MakeArea(10, 10);
  DestroyWindow(gone);
  orlinde::OpenPreview(gone);
  EXPECT_EQ(0, app::LoadedForms());
}
