// The Windows renderer `Velsora` (Orlinde.xy): a Win32 shell over the portable scene. What it draws comes
// from the scene (SceneViews, SceneGl); when to draw, how many scene steps to run and when a drop falls
// comes from the frame loop the Linux program runs too.
//
// What it does:
//  - One pop-up window titled "Velsora_Delphi" at the screen's origin, sized from the system metrics (the
//    size of a maximized window plus a caption), with its OpenGL context: the design's window, created and
//    released in the design's order with the design's messages. With several monitors it is cut to the
//    primary; `each` adds an untitled window with a context of its own on every other monitor, `span`
//    stretches the one window over them all. When the monitors change (WM_DISPLAYCHANGE, or the monitor
//    list looked at once a second, since Wine sends no message when another monitor is turned off or on)
//    the windows are laid out again over the new desk, the design's window at the size the metrics give now.
//  - Keys: Escape, the arrows, Space, keypad plus and minus, read by the titled window, which keeps the
//    focus (the monitor windows never take it). Escape is looked at after each frame, before the keys that
//    act once per press.
//  - Ends on Escape, on WM_CLOSE, or on the pointer rule: the pointer more than 30 pixels from where it
//    stood at the start on both axes at once. Ending closes every window.
//  - Pauses the rain while the console display is off or the system sleeps (DisplayPowerWin32).
//
// What it does not do:
//  - Pointer: no pointer message is handled; the pointer is hidden for the run and read by the end check
//    (60 times a second while drawing, at every check while paused).
//  - Frame rate: frames at the fastest monitor's refresh rate and never more than one per scene step
//    (ORLINDE_UNPACED=1: as fast as the loop turns). No frame-rate corner (the Linux program has one).
//  - Swaps: one window waits for its monitor's refresh at the swap; with several windows no swap waits
//    (one window's wait would hold up the others) and the loop paces them all.
//  - It takes no command line, ignores its show state and never changes the display mode.
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "common/CursorRule.h"
#include "common/HandOverPath.h"
#include "common/MonitorLayout.h"
#include "common/MonitorsWin32.h"
#include "common/RunSwitches.h"
#include "common/SettingsFileWin32.h"
#include "common/WindowTitles.h"
#include "renderer/DisplayPowerWin32.h"
#include "renderer/RendererTexts.h"
#include "renderer/TextureFileWin32.h"
#include "scene/DisplayPower.h"
#include "scene/ExtensionList.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SceneViews.h"
#include "scene/SteadyClock.h"
#include "common/TextureFile.h"

namespace orlinde::renderer {
namespace {

// A window with its own OpenGL context: the design's window, or the window of another monitor.
struct GlWindow {
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  PixelRect area;  // where it stands, in virtual-screen pixels
};

// The one program state.
struct RendererState {
  HINSTANCE instance = nullptr;
  GlWindow main;  // the design's window: target 0 of the views
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::array<bool, 256> Keys{};  // by virtual-key code: Escape is read from here
  SceneKeys sceneKeys;           // the same presses as the scene's keys
  POINT StartCursor{};
  MonitorMode mode = kDefaultMonitorMode;
  MonitorSet desk;  // the monitors the windows were last laid out for
  bool paced = true;
  SteadyClock clock;
  std::optional<SceneViews> views;  // from the picture on
  std::vector<GlWindow> others;     // other monitors' windows: others[i] is target i + 1
  std::optional<FrameLoop> frames;  // while the loop runs
  bool fineTimer = false;           // millisecond timer resolution held
  std::optional<DisplayStateNotifications> displayState;
  DisplayPower power;
};

// Global because the window procedures reach it: the system calls them with nothing of ours.
RendererState g;

// The design's window's timer that looks at the monitor list (the design's rain timer was 2).
constexpr UINT_PTR kDeskWatchTimer = 3;
constexpr UINT kDeskWatchMs = 1000;

// The colour depth asked of every window's pixel format.
constexpr BYTE kColourBits = 32;

// The scene's keys by virtual-key code.
constexpr std::array<std::pair<WPARAM, SceneKey>, 7> kSceneKeys{{
    {VK_LEFT, SceneKey::kLeft},
    {VK_UP, SceneKey::kUp},
    {VK_RIGHT, SceneKey::kRight},
    {VK_DOWN, SceneKey::kDown},
    {VK_SPACE, SceneKey::kDrop},
    {VK_ADD, SceneKey::kRainFaster},
    {VK_SUBTRACT, SceneKey::kRainSlower},
}};

void ShowError(const char* text) {
  MessageBoxA(nullptr, text, texts::kErrorCaption, MB_OK | MB_ICONSTOP);
}

// The monitor windows' failures are nobody's business but their own.
void Silent(const char*) {}

void SetKey(WPARAM virtualKey, bool down) {
  if (virtualKey >= g.Keys.size()) return;
  g.Keys[virtualKey] = down;
  for (const auto& [code, key] : kSceneKeys) {
    if (code == virtualKey) g.sceneKeys[key] = down;
  }
}

// ---- One window with its context ------------------------------------------------------------------------

// Double-buffered RGBA with a 16-bit depth buffer: every window the scene is drawn in.
PIXELFORMATDESCRIPTOR ScenePixelFormat() {
  PIXELFORMATDESCRIPTOR descriptor{};
  descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  descriptor.nVersion = 1;
  descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  descriptor.iPixelType = PFD_TYPE_RGBA;
  descriptor.cColorBits = kColourBits;
  descriptor.cDepthBits = 16;
  descriptor.iLayerType = PFD_MAIN_PLANE;
  return descriptor;
}

struct WindowKind {
  const char* className;
  const char* title;
  DWORD style;
  DWORD exStyle;
};

// Creates the window at `w.area`, its device context, pixel format and context, and makes the context
// current. Null when all of it exists, else the message of the step that failed; what was made stays in
// `w` for CloseGlWindow.
const char* OpenGlWindow(GlWindow& w, const WindowKind& kind) {
  w.window = CreateWindowExA(kind.exStyle, kind.className, kind.title, kind.style, w.area.x, w.area.y, w.area.width,
                             w.area.height, nullptr, nullptr, g.instance, nullptr);
  if (w.window == nullptr) return texts::kCreateWindowFailed;
  w.deviceContext = GetDC(w.window);
  if (w.deviceContext == nullptr) return texts::kGetDcFailed;
  const PIXELFORMATDESCRIPTOR descriptor = ScenePixelFormat();
  const int format = ChoosePixelFormat(w.deviceContext, &descriptor);
  if (format == 0) return texts::kChoosePixelFormatFailed;
  if (!SetPixelFormat(w.deviceContext, format, &descriptor)) return texts::kSetPixelFormatFailed;
  w.renderingContext = wglCreateContext(w.deviceContext);
  if (w.renderingContext == nullptr) return texts::kCreateContextFailed;
  if (!wglMakeCurrent(w.deviceContext, w.renderingContext)) return texts::kMakeCurrentFailed;
  return nullptr;
}

// Releases what OpenGlWindow made, in reverse: the context (attempted whether or not one was made), the
// device context, the window. A failed step is reported and the next one runs; the handle it left becomes
// null.
void CloseGlWindow(GlWindow& w, void (*report)(const char*)) {
  if (!wglMakeCurrent(w.deviceContext, nullptr)) report(texts::kReleaseDcRcFailed);
  if (!wglDeleteContext(w.renderingContext)) {
    report(texts::kDeleteContextFailed);
    w.renderingContext = nullptr;
  }
  if (w.deviceContext != nullptr && ReleaseDC(w.window, w.deviceContext) == 0) {
    report(texts::kReleaseDcFailed);
    w.deviceContext = nullptr;
  }
  if (w.window != nullptr && !DestroyWindow(w.window)) {
    report(texts::kDestroyWindowFailed);
    w.window = nullptr;
  }
}

// The window of view target `target`.
GlWindow& TargetWindow(std::size_t target) {
  return target == 0 ? g.main : g.others[target - 1];
}

// The windows as the views' targets.
GlViewTargets WindowTargets() {
  return GlViewTargets([](std::size_t target) {
    const GlWindow& w = TargetWindow(target);
    wglMakeCurrent(w.deviceContext, w.renderingContext);
  });
}

// Every window holds one view: draw it, then swap. With one window its context stays current.
class WindowPainter final : public ViewPainter {
 public:
  void PaintView(SceneView& view) override {
    const GlWindow& w = TargetWindow(view.place.target);
    if (!g.others.empty()) wglMakeCurrent(w.deviceContext, w.renderingContext);
    DrawView(view);
    SwapBuffers(w.deviceContext);
  }
};

// A view for each window, whole: the design's window first, then the first `others` monitor windows.
// Views past them go (their textures with their windows' contexts still there).
void ArrangeViews(std::size_t others) {
  RECT client{};
  GetClientRect(g.main.window, &client);
  std::vector<ViewPlace> places{ViewPlace::Whole(0, client.right - client.left, client.bottom - client.top)};
  for (std::size_t i = 0; i < others; ++i) {
    places.push_back(ViewPlace::Whole(i + 1, g.others[i].area.width, g.others[i].area.height));
  }
  GlViewTargets targets = WindowTargets();
  g.views->Arrange(places, targets);
}

// Where the driver offers WGL_EXT_swap_control, asks the current context's swaps to wait for `interval`
// refreshes (0: not at all).
void AskForSwapInterval(int interval) {
  // Through the plain function type first: GCC treats a cast from it as deliberate.
  using GenericProc = void (*)();
  using ExtensionsProc = const char*(WINAPI*)();
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  const auto extensions =
      reinterpret_cast<ExtensionsProc>(reinterpret_cast<GenericProc>(wglGetProcAddress("wglGetExtensionsStringEXT")));
  const auto swapInterval =
      reinterpret_cast<SwapIntervalProc>(reinterpret_cast<GenericProc>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (extensions == nullptr || swapInterval == nullptr) return;
  if (HasExtension(extensions(), "WGL_EXT_swap_control")) swapInterval(interval);
}

// ---- The design's window --------------------------------------------------------------------------------

// The design's window size: a maximized window's, plus one caption height. Read at the start and again on
// every display change, so that the window covers the primary monitor as it is now.
void ReadScreenSize() {
  g.ScreenWidth = GetSystemMetrics(SM_CXMAXIMIZED);
  g.ScreenHeight = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);
}

void DestroyRenderWindow() {
  CloseGlWindow(g.main, ShowError);
  if (!UnregisterClassA(texts::kWindowClass, g.instance)) {
    ShowError(texts::kUnregisterClassFailed);
    g.instance = nullptr;
  }
}

LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The design's window and its context, the picture and the first view. Without the picture the program
// ends silently with status 1: no message and no window teardown. The GL context is released first:
// ending the process with it still current lets the driver's worker threads fault while the process goes
// down (seen with Mesa's llvmpipe under Wine).
bool CreateRenderWindow() {
  g.instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = RendererWindowProc;
  windowClass.hInstance = g.instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = texts::kWindowClass;
  if (!RegisterClassA(&windowClass)) {
    ShowError(texts::kRegisterClassFailed);
    return false;
  }
  ReadScreenSize();
  g.main.area = {0, 0, g.ScreenWidth, g.ScreenHeight};
  const WindowKind kind{texts::kWindowClass, kRendererWindowTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        WS_EX_APPWINDOW | WS_EX_WINDOWEDGE};
  if (const char* failed = OpenGlWindow(g.main, kind)) {
    DestroyRenderWindow();
    ShowError(failed);
    return false;
  }
  ShowWindow(g.main.window, SW_SHOW);
  SetForegroundWindow(g.main.window);
  SetFocus(g.main.window);

  ResizeScene(g.ScreenWidth, g.ScreenHeight);
  Win32FileOpener files;
  TextureFile texture = ReadTextureFile(files, HandOverBitmapPath());
  if (texture.bitmap.pixels.empty()) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(g.main.renderingContext);
    ExitProcess(1);
  }
  g.views.emplace(g.clock, std::move(texture.bitmap), kInitialRainInterval, ClockSeed(g.clock));
  ArrangeViews(0);
  return true;
}

// The views go while their contexts are there, then the design's window.
void CloseRenderWindow() {
  GlViewTargets targets = WindowTargets();
  g.views->Clear(targets);
  g.views.reset();
  DestroyRenderWindow();
}

// ---- The other monitors' windows ------------------------------------------------------------------------

LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click leaves the design's window active, with the keys
    case WM_ERASEBKGND:
      return 1;  // the scene covers every pixel
    case WM_PAINT:
      if (g.frames) {
        WindowPainter painter;
        g.frames->Repaint(painter);
      }
      ValidateRect(window, nullptr);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A monitor whose window or context cannot be made stays without rain.
void OpenMonitorWindow(const PixelRect& area) {
  GlWindow other;
  other.area = area;
  const WindowKind kind{texts::kMonitorWindowClass, "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE};
  if (OpenGlWindow(other, kind) != nullptr) {
    CloseGlWindow(other, Silent);
    return;
  }
  AskForSwapInterval(0);  // the loop paces every window
  g.others.push_back(other);
  ShowWindow(other.window, SW_SHOWNOACTIVATE);
}

// Monitor windows go, the last first, until `keep` are left: their views first, then the windows. The
// design's context is current again.
void CloseMonitorWindows(std::size_t keep) {
  if (g.others.size() <= keep) return;
  ArrangeViews(keep);
  while (g.others.size() > keep) {
    CloseGlWindow(g.others.back(), Silent);
    g.others.pop_back();
  }
  wglMakeCurrent(g.main.deviceContext, g.main.renderingContext);
}

void RegisterMonitorClass() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = MonitorWindowProc;
  windowClass.hInstance = g.instance;
  windowClass.lpszClassName = texts::kMonitorWindowClass;
  RegisterClassA(&windowClass);  // without it no monitor window opens, and the design's window rains alone
}

// The design's window over the desk: in `span` with several monitors, their bounding box; else at the
// origin at the size of the metrics, cut to the primary monitor so that its overhang never shows on a
// neighbour (the region is in the window's own coordinates, and the window stands at the origin).
void PlaceRenderWindow(const MonitorSet& desk) {
  const bool several = desk.monitors.size() > 1;
  g.main.area = several && g.mode == MonitorMode::kSpan ? BoundingBox(desk.monitors)
                                                        : PixelRect{0, 0, g.ScreenWidth, g.ScreenHeight};
  HRGN region = nullptr;
  if (several && g.mode != MonitorMode::kSpan) {
    const PixelRect& primary = desk.monitors[desk.primary];
    region = CreateRectRgn(primary.x, primary.y, primary.x + primary.width, primary.y + primary.height);
  }
  SetWindowRgn(g.main.window, region, TRUE);
  const PixelRect& a = g.main.area;
  SetWindowPos(g.main.window, nullptr, a.x, a.y, a.width, a.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Lays the windows out for the mode and the monitors there are now: at the start and after a display
// change. Windows that are there already are kept, moved where a monitor changed: their rain goes on.
void LayOutWindows() {
  ReadScreenSize();
  g.desk = CurrentMonitors();
  const std::vector<SceneArea> areas = LayOutScenes(g.mode, g.desk);
  std::vector<PixelRect> otherAreas;  // in `each`, every scene but the primary's has a window of its own
  for (std::size_t i = 1; g.mode == MonitorMode::kEach && i < areas.size(); ++i) otherAreas.push_back(areas[i].area);

  CloseMonitorWindows(otherAreas.size());
  for (std::size_t i = 0; i < g.others.size(); ++i) {
    GlWindow& other = g.others[i];
    if (other.area == otherAreas[i]) continue;
    other.area = otherAreas[i];
    SetWindowPos(other.window, nullptr, other.area.x, other.area.y, other.area.width, other.area.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  PlaceRenderWindow(g.desk);
  for (std::size_t i = g.others.size(); i < otherAreas.size(); ++i) OpenMonitorWindow(otherAreas[i]);
  ArrangeViews(g.others.size());

  wglMakeCurrent(g.main.deviceContext, g.main.renderingContext);
  if (g.paced || !g.others.empty()) AskForSwapInterval(g.others.empty() ? 1 : 0);
}

// ---- The loop -------------------------------------------------------------------------------------------

// The fastest refresh among the monitors drawn on, so that pacing to it halves no monitor's rate.
int FastestRefresh() {
  int fastest = GetDeviceCaps(g.main.deviceContext, VREFRESH);
  for (const GlWindow& other : g.others) fastest = std::max(fastest, GetDeviceCaps(other.deviceContext, VREFRESH));
  return fastest;
}

// The frame loop, with millisecond waits (paced or not: the drops and the end checks are timed too; the
// default resolution can be 15.6 ms), the console display state sent to the design's window, and the
// watch on the monitor list.
void StartFrames() {
  g.frames.emplace(g.clock, ChooseFramePeriod(FastestRefresh(), g.paced), *g.views);
  g.fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  g.displayState.emplace(g.main.window);
  g.frames->SetDrawing(g.power.ShouldDraw());
  SetTimer(g.main.window, kDeskWatchTimer, kDeskWatchMs, nullptr);
}

void StopFrames() {
  KillTimer(g.main.window, kDeskWatchTimer);
  g.displayState.reset();
  if (g.fineTimer) timeEndPeriod(1);
  g.fineTimer = false;
  g.frames.reset();
}

// Escape after a frame, then the pointer rule.
class RendererEnds final : public EndCheck {
 public:
  bool ShouldEnd(const TurnOutcome& turn) override {
    if (g.Keys[VK_ESCAPE]) return true;
    // The pointer is read with the scene's steps, 60 times a second: on a paced display that is every
    // frame, while unpaced frames do not each pay a read that under Wine is a round trip to the X server
    // costing more than the frame's whole drawing. While nothing is drawn, at every check.
    if (turn.steps == 0 && turn.drew) return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    return CursorMovedFar(g.StartCursor.x, g.StartCursor.y, cursor.x, cursor.y);
  }
};

// One message, or one turn of the frame loop, a pass; while nothing is due it waits for the next frame or
// drop or any message, the wait rounded up to whole milliseconds (a frame may come a little late, never
// early). Until WM_QUIT or an end check says so.
void RunLoop() {
  WindowPainter painter;
  RendererEnds ends;
  MSG message;
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else if (const Microseconds wait = g.frames->TimeUntilDue(); wait > 0) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((wait + 999) / 1000), QS_ALLINPUT);
    } else if (g.frames->Turn(g.sceneKeys, painter, ends)) {
      return;
    }
  }
}

// The windows follow a new desk. Closing windows may hand the activation on: the design's window takes
// the keys again.
void FollowDesk() {
  LayOutWindows();
  SetForegroundWindow(g.main.window);
  SetFocus(g.main.window);
}

LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SIZE:
      if (!g.others.empty()) wglMakeCurrent(g.main.deviceContext, g.main.renderingContext);
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      if (g.frames) {
        ArrangeViews(g.others.size());
        WindowPainter painter;
        g.frames->Repaint(painter);
      }
      return 0;
    case WM_PAINT:
      // Frames come at most once per scene step: a window uncovered in between is drawn again at once.
      if (!g.frames) break;
      {
        WindowPainter painter;
        g.frames->Repaint(painter);
      }
      ValidateRect(window, nullptr);
      return 0;
    case WM_POWERBROADCAST:
      HandlePowerBroadcast(wParam, lParam, g.power);
      if (g.frames) g.frames->SetDrawing(g.power.ShouldDraw());
      return TRUE;
    case WM_DISPLAYCHANGE:  // a monitor came or went, or changed its mode
      if (g.frames) FollowDesk();
      return 0;
    case WM_TIMER:
      if (wParam != kDeskWatchTimer) break;
      if (g.frames && CurrentMonitors() != g.desk) FollowDesk();
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      SetKey(wParam, true);
      return 0;
    case WM_KEYUP:
      SetKey(wParam, false);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Set-up, the loop, and tear-down in the exact reverse of set-up.
int RendererMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FlushDenormalsToZero();
  g.mode = ReadMonitorModeBesideProgram();
  g.paced = !PacingSwitchedOff();
  if (!CreateRenderWindow()) return 0;
  GetCursorPos(&g.StartCursor);
  ShowCursor(FALSE);
  RegisterMonitorClass();
  LayOutWindows();
  StartFrames();

  RunLoop();

  StopFrames();
  CloseMonitorWindows(0);
  UnregisterClassA(texts::kMonitorWindowClass, g.instance);
  ShowCursor(TRUE);
  CloseRenderWindow();
  return 0;
}

}  // namespace
}  // namespace orlinde::renderer

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState) {
  orlinde::renderer::RendererMain(instance, previous, commandLine, showState);
  return 0;
}
