// The renderer program: its pop-up OpenGL window (and, with several monitors, one more for each other
// monitor), the key table, the three ways it ends, display power, and the teardown. Everything it draws comes from the
// scene (SceneGl); when to draw, how many scene steps to run and when a drop falls comes from the frame loop the Linux
// program runs too.
#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/CursorRule.h"
#include "common/DisplaySettingWin32.h"
#include "common/HandOverPath.h"
#include "common/MonitorsWin32.h"
#include "common/RunSwitches.h"
#include "common/WindowTitles.h"
#include "renderer/DisplayPowerWin32.h"
#include "renderer/RendererTexts.h"
#include "scene/DisplayPower.h"
#include "scene/ExtensionList.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/MonitorLayout.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SceneViews.h"
#include "scene/SteadyClock.h"
#include "scene/TextureFile.h"

namespace orlinde::renderer {
namespace {

// The window of a monitor other than the primary's (the mode `each`): untitled, never active, never
// focused, with a context and a scene of its own.
struct MonitorWindow {
  PixelRect area;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
};

struct RendererState {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::array<bool, 256> Keys{};  // by virtual-key code: Escape is read from here
  SceneKeys sceneKeys;           // the same presses as the scene's keys
  POINT StartCursor{};
  SteadyClock clock;
  std::optional<SceneViews> views;  // the window's scene first (target 0), then others[i] as target i + 1
  std::vector<MonitorWindow> others;
  MonitorMode mode = kDefaultMonitorMode;
  bool paced = true;
  FrameLoop* frames = nullptr;  // while the loop runs
  DisplayPower power;
};

RendererState g;

// The colour depth asked of every window's pixel format.
constexpr std::int32_t kColourBits = 32;

void ShowError(const char* text) {
  MessageBoxA(nullptr, text, texts::kErrorCaption, MB_OK | MB_ICONSTOP);
}

// The scene's key for a virtual-key code, or none for keys the scene ignores.
std::optional<SceneKey> SceneKeyFor(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_LEFT:
      return SceneKey::kLeft;
    case VK_UP:
      return SceneKey::kUp;
    case VK_RIGHT:
      return SceneKey::kRight;
    case VK_DOWN:
      return SceneKey::kDown;
    case VK_SPACE:
      return SceneKey::kDrop;
    case VK_ADD:
      return SceneKey::kRainFaster;
    case VK_SUBTRACT:
      return SceneKey::kRainSlower;
    default:
      return std::nullopt;
  }
}

void SetKey(WPARAM virtualKey, bool down) {
  if (virtualKey >= g.Keys.size()) return;
  g.Keys[virtualKey] = down;
  if (const auto sceneKey = SceneKeyFor(virtualKey)) g.sceneKeys[*sceneKey] = down;
}

// The window and context of view `index`: the renderer's own window, or another monitor's.
struct ViewTarget {
  HDC deviceContext;
  HGLRC renderingContext;
};
ViewTarget TargetOf(std::size_t index) {
  if (index == 0 || index > g.others.size()) return {g.deviceContext, g.renderingContext};
  return {g.others[index - 1].deviceContext, g.others[index - 1].renderingContext};
}

// With other monitors' windows, each has a context of its own, made current before it is drawn on.
void MakeViewCurrent(std::size_t index) {
  if (g.others.empty()) return;
  const ViewTarget target = TargetOf(index);
  wglMakeCurrent(target.deviceContext, target.renderingContext);
}

// The windows as the views' targets: target 0 the renderer's own window, target i + 1 others[i].
class WindowTargets final : public GlViewTargets {
 public:
  void MakeCurrent(std::size_t target) override {
    const ViewTarget t = TargetOf(target);
    wglMakeCurrent(t.deviceContext, t.renderingContext);
  }
};

// Puts a scene on its window: draw, then swap.
class WindowPainter final : public ViewPainter {
 public:
  void PaintView(SceneView& view) override {
    MakeViewCurrent(view.place.target);
    DrawView(view);
    SwapBuffers(TargetOf(view.place.target).deviceContext);
  }
};

WindowPainter g_painter;
WindowTargets g_targets;

// The places of the views: the renderer's own window whole, then each other monitor's window whole.
void ArrangeViews() {
  std::vector<ViewPlace> places;
  RECT client{};
  GetClientRect(g.window, &client);
  places.push_back(ViewPlace::Whole(0, client.right - client.left, client.bottom - client.top));
  for (std::size_t i = 0; i < g.others.size(); ++i) {
    places.push_back(ViewPlace::Whole(i + 1, g.others[i].area.width, g.others[i].area.height));
  }
  g.views->Arrange(places, g_targets);
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
  const char* names = extensions();
  if (HasExtension(names, "WGL_EXT_swap_control")) swapInterval(interval);
}

// Waits until the next frame or drop is due or any input or message arrives, whichever comes first. The
// wait is rounded up to whole milliseconds: a frame may come a little late, never early.
void WaitForFrameOrInput(Microseconds wait) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((wait + 999) / 1000), QS_ALLINPUT);
}

// Millisecond timer resolution while the loop paces its frames (the default can be 15.6 ms).
class TimerResolution {
 public:
  explicit TimerResolution(bool wanted) : held_(wanted && timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~TimerResolution() {
    if (held_) timeEndPeriod(1);
  }
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;

 private:
  bool held_;
};

void DestroyRenderWindow() {
  if (!wglMakeCurrent(g.deviceContext, nullptr)) ShowError(texts::kReleaseDcRcFailed);
  if (!wglDeleteContext(g.renderingContext)) {
    ShowError(texts::kDeleteContextFailed);
    g.renderingContext = nullptr;
  }
  if (g.deviceContext != nullptr && ReleaseDC(g.window, g.deviceContext) == 0) {
    ShowError(texts::kReleaseDcFailed);
    g.deviceContext = nullptr;
  }
  if (g.window != nullptr && !DestroyWindow(g.window)) {
    ShowError(texts::kDestroyWindowFailed);
    g.window = nullptr;
  }
  if (!UnregisterClassA(texts::kWindowClass, g.instance)) {
    ShowError(texts::kUnregisterClassFailed);
    g.instance = nullptr;
  }
}

// A creation failure after the class exists: tear down what exists, then say what failed.
bool FailCreation(const char* text) {
  DestroyRenderWindow();
  ShowError(text);
  return false;
}

// Double-buffered RGBA with a 16-bit depth buffer: every window the scene is drawn in.
PIXELFORMATDESCRIPTOR ScenePixelFormat(std::int32_t colourBits) {
  PIXELFORMATDESCRIPTOR descriptor{};
  descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  descriptor.nVersion = 1;
  descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  descriptor.iPixelType = PFD_TYPE_RGBA;
  descriptor.cColorBits = static_cast<BYTE>(colourBits);
  descriptor.cDepthBits = 16;
  descriptor.iLayerType = PFD_MAIN_PLANE;
  return descriptor;
}

LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click leaves the renderer's own window active, with the keys
    case WM_ERASEBKGND:
      return 1;  // the scene covers every pixel
    case WM_PAINT:
      if (g.frames != nullptr) g.frames->Repaint(g_painter);
      ValidateRect(window, nullptr);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Releases one other monitor's window and what it holds; its failures are nobody's business but its own.
void CloseMonitorWindow(MonitorWindow& other) {
  wglMakeCurrent(nullptr, nullptr);
  if (other.renderingContext != nullptr) wglDeleteContext(other.renderingContext);
  if (other.deviceContext != nullptr) ReleaseDC(other.window, other.deviceContext);
  if (other.window != nullptr) DestroyWindow(other.window);
  other = {};
}

// Other monitors' windows and scenes go, from the last, until `keep` are left; the renderer's own context
// is current again.
void CloseMonitorWindows(std::size_t keep = 0) {
  if (g.others.size() > keep && g.views) {
    std::vector<ViewPlace> places;
    for (std::size_t i = 0; i <= keep && i < g.views->size(); ++i) places.push_back((*g.views)[i].place);
    g.views->Arrange(places, g_targets);
  }
  while (g.others.size() > keep) {
    CloseMonitorWindow(g.others.back());
    g.others.pop_back();
  }
  if (g.renderingContext != nullptr) wglMakeCurrent(g.deviceContext, g.renderingContext);
}

// A window over another monitor, with its own context and scene: the scene's camera with that monitor's
// aspect ratio, its own drops. A monitor whose window or context cannot be made stays without rain.
void OpenMonitorWindow(const PixelRect& area) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = MonitorWindowProc;
    windowClass.hInstance = g.instance;
    windowClass.lpszClassName = texts::kMonitorWindowClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  if (!registered) return;
  MonitorWindow other;
  other.area = area;
  other.window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, texts::kMonitorWindowClass, "",
                                 WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.x, area.y, area.width, area.height,
                                 nullptr, nullptr, g.instance, nullptr);
  if (other.window != nullptr) other.deviceContext = GetDC(other.window);
  const PIXELFORMATDESCRIPTOR descriptor = ScenePixelFormat(kColourBits);
  const int format = other.deviceContext != nullptr ? ChoosePixelFormat(other.deviceContext, &descriptor) : 0;
  if (format != 0 && SetPixelFormat(other.deviceContext, format, &descriptor)) {
    other.renderingContext = wglCreateContext(other.deviceContext);
  }
  if (other.renderingContext == nullptr || !wglMakeCurrent(other.deviceContext, other.renderingContext)) {
    CloseMonitorWindow(other);
    return;
  }
  // The loop paces every window; a swap that waited for its own monitor's refresh would hold up the
  // windows drawn after it in the same frame.
  AskForSwapInterval(0);
  g.others.push_back(other);
  ShowWindow(other.window, SW_SHOWNOACTIVATE);
}

// Lays the windows out for the mode and the monitors there are now: at start and after a display change.
// With one monitor, or in `each` and `primary`, the renderer's own window is the design's (a little larger
// than the primary monitor), cut to that monitor so that the overhang never shows on a neighbour; `each`
// adds a window for every other monitor; `span` stretches the one window over all of them.
// Windows that are there already are kept, moved where a monitor changed: their rain goes on.
void LayOutWindows() {
  const MonitorSet desk = CurrentMonitors();
  const std::vector<SceneArea> areas = LayOutScenes(g.mode, desk);
  const std::size_t wanted = g.mode == MonitorMode::kEach && areas.size() > 1 ? areas.size() - 1 : 0;
  CloseMonitorWindows(wanted);
  for (std::size_t i = 0; i < g.others.size(); ++i) {
    MonitorWindow& other = g.others[i];
    const PixelRect& area = areas[i + 1].area;
    if (other.area == area) continue;
    other.area = area;
    SetWindowPos(other.window, nullptr, area.x, area.y, area.width, area.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (desk.monitors.size() > 1 && g.mode == MonitorMode::kSpan) {
    const PixelRect box = BoundingBox(desk.monitors);
    SetWindowRgn(g.window, nullptr, TRUE);
    SetWindowPos(g.window, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(g.window, nullptr, 0, 0, g.ScreenWidth, g.ScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (desk.monitors.size() > 1) {
      const PixelRect& primary = desk.monitors[desk.primary];
      // The window stands at the screen's origin: the region is in its own coordinates.
      SetWindowRgn(g.window, CreateRectRgn(primary.x, primary.y, primary.x + primary.width, primary.y + primary.height),
                   TRUE);
    } else {
      SetWindowRgn(g.window, nullptr, TRUE);
    }
    for (std::size_t i = g.others.size() + 1; i <= wanted; ++i) OpenMonitorWindow(areas[i].area);
  }
  ArrangeViews();
  MakeViewCurrent(0);
  // One window waits for its monitor's refresh at the swap; several leave the waiting to the loop.
  if (g.paced || !g.others.empty()) AskForSwapInterval(g.others.empty() ? 1 : 0);
}

// The fastest refresh among the monitors drawn on, so that pacing to it halves no monitor's rate.
int FastestRefresh() {
  int fastest = GetDeviceCaps(g.deviceContext, VREFRESH);
  for (const MonitorWindow& other : g.others) {
    const int rate = GetDeviceCaps(other.deviceContext, VREFRESH);
    if (rate > fastest) fastest = rate;
  }
  return fastest;
}

LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SIZE:
      MakeViewCurrent(0);
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      if (g.frames != nullptr) {
        ArrangeViews();
        g.frames->Repaint(g_painter);
      }
      return 0;
    case WM_PAINT:
      // Frames come at most once per scene step: a window uncovered in between is drawn again at once.
      if (g.frames == nullptr) break;
      g.frames->Repaint(g_painter);
      ValidateRect(window, nullptr);
      return 0;
    case WM_POWERBROADCAST:
      HandlePowerBroadcast(wParam, lParam, g.power);
      if (g.frames != nullptr) g.frames->SetDrawing(g.power.ShouldDraw());
      return TRUE;
    case WM_DISPLAYCHANGE:
      // A monitor came or went, or changed its size: the windows follow the new desk.
      // Closing the old windows may hand the activation on: the renderer's own window takes the keys again.
      if (g.frames != nullptr) {
        LayOutWindows();
        SetForegroundWindow(window);
        SetFocus(window);
      }
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

bool CreateRenderWindow(std::int32_t colourBits) {
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

  const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  g.ScreenWidth = GetSystemMetrics(SM_CXMAXIMIZED);
  g.ScreenHeight = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);

  g.window = CreateWindowExA(exStyle, texts::kWindowClass, orlinde::kRendererWindowTitle, style, 0, 0, g.ScreenWidth,
                             g.ScreenHeight, nullptr, nullptr, g.instance, nullptr);
  if (g.window == nullptr) return FailCreation(texts::kCreateWindowFailed);

  g.deviceContext = GetDC(g.window);
  if (g.deviceContext == nullptr) return FailCreation(texts::kGetDcFailed);

  const PIXELFORMATDESCRIPTOR descriptor = ScenePixelFormat(colourBits);
  const int format = ChoosePixelFormat(g.deviceContext, &descriptor);
  if (format == 0) return FailCreation(texts::kChoosePixelFormatFailed);
  if (!SetPixelFormat(g.deviceContext, format, &descriptor)) return FailCreation(texts::kSetPixelFormatFailed);

  g.renderingContext = wglCreateContext(g.deviceContext);
  if (g.renderingContext == nullptr) return FailCreation(texts::kCreateContextFailed);
  if (!wglMakeCurrent(g.deviceContext, g.renderingContext)) return FailCreation(texts::kMakeCurrentFailed);

  ShowWindow(g.window, SW_SHOW);
  SetForegroundWindow(g.window);
  SetFocus(g.window);

  ResizeScene(g.ScreenWidth, g.ScreenHeight);
  // The hand-over picture is read once the window and the context exist. Without it the program ends
  // silently with status 1: no message and no window teardown. The GL context is released first: ending
  // the process with it still current lets the driver's worker threads fault while the process goes down
  // (seen with Mesa's llvmpipe under Wine).
  StdioFileOpener files;
  TextureFile texture = ReadTextureFile(files, orlinde::HandOverBitmapPath());
  if (texture.bitmap.pixels.empty()) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(g.renderingContext);
    ExitProcess(1);
  }
  g.views.emplace(g.clock, std::move(texture.bitmap), kInitialRainInterval, ClockSeed(g.clock));
  ArrangeViews();
  return true;
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
    return orlinde::CursorMovedFar(g.StartCursor.x, g.StartCursor.y, cursor.x, cursor.y);
  }
};

RendererEnds g_ends;

int RendererMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FlushDenormalsToZero();
  g.mode = ReadMonitorModeBesideProgram();
  if (!CreateRenderWindow(kColourBits)) return 0;
  GetCursorPos(&g.StartCursor);
  ShowCursor(FALSE);

  const bool paced = !PacingSwitchedOff();
  g.paced = paced;
  LayOutWindows();
  FrameLoop frames(g.clock, ChooseFramePeriod(FastestRefresh(), paced), *g.views);
  // Millisecond waits, paced or not: the drops and the end checks are timed too.
  const TimerResolution resolution(true);
  const DisplayStateNotifications displayState(g.window);
  frames.SetDrawing(g.power.ShouldDraw());
  g.frames = &frames;

  bool done = false;
  MSG message;
  while (!done) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        done = true;
      } else {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      continue;
    }
    if (const Microseconds wait = frames.TimeUntilDue(); wait > 0) {
      WaitForFrameOrInput(wait);
      continue;
    }
    done = frames.Turn(g.sceneKeys, g_painter, g_ends);
  }
  g.frames = nullptr;

  ShowCursor(TRUE);
  CloseMonitorWindows();
  g.views->Clear(g_targets);
  UnregisterClassA(texts::kMonitorWindowClass, g.instance);
  DestroyRenderWindow();
  return 0;
}

}  // namespace
}  // namespace orlinde::renderer

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState) {
  orlinde::renderer::RendererMain(instance, previous, commandLine, showState);
  return 0;
}
