// The renderer program: its one pop-up OpenGL window, the key table, the three ways it ends, display
// power, and the teardown. Everything it draws comes from the scene (SceneGl); when to draw, how many
// scene steps to run and when a drop falls comes from the frame loop the Linux program runs too.
#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/CursorRule.h"
#include "common/HandOverPath.h"
#include "common/WindowTitles.h"
#include "renderer/DisplayPowerWin32.h"
#include "renderer/RendererTexts.h"
#include "scene/DisplayPower.h"
#include "scene/ExtensionList.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SteadyClock.h"
#include "scene/TextureFile.h"

namespace orlinde::renderer {
namespace {

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
  std::vector<SceneView> views;  // one: the window's scene
  FrameLoop* frames = nullptr;   // while the loop runs
  DisplayPower power;
};

RendererState g;

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

// Puts the scene on the window: draw, then swap.
class WindowPainter final : public ViewPainter {
 public:
  void PaintView(std::size_t, RainScene& scene) override {
    DrawScene(scene);
    SwapBuffers(g.deviceContext);
  }
};

WindowPainter g_painter;

// Where the driver offers WGL_EXT_swap_control, each swap waits for the display's next refresh.
void AskForSwapIntervalOne() {
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
  if (HasExtension(names, "WGL_EXT_swap_control")) swapInterval(1);
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

LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SIZE:
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      if (g.frames != nullptr) g.frames->Repaint(g_painter);
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

  PIXELFORMATDESCRIPTOR descriptor{};
  descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  descriptor.nVersion = 1;
  descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  descriptor.iPixelType = PFD_TYPE_RGBA;
  descriptor.cColorBits = static_cast<BYTE>(colourBits);
  descriptor.cDepthBits = 16;
  descriptor.iLayerType = PFD_MAIN_PLANE;
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
  const TextureFile texture = ReadTextureFile(files, orlinde::HandOverBitmapPath());
  SceneView& view = g.views.emplace_back(g.clock);
  if (!InitScene(view.scene, texture.bitmap, view.rain, ClockSeed(g.clock))) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(g.renderingContext);
    ExitProcess(1);
  }
  return true;
}

int RendererMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FlushDenormalsToZero();
  if (!CreateRenderWindow(32)) return 0;
  GetCursorPos(&g.StartCursor);
  ShowCursor(FALSE);

  const bool paced = !PacingSwitchedOff();
  if (paced) AskForSwapIntervalOne();
  FrameLoop frames(g.clock, ChooseFramePeriod(GetDeviceCaps(g.deviceContext, VREFRESH), paced), g.views);
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
    const TurnOutcome turn = frames.Turn(g.sceneKeys, g_painter);
    if (!turn.checkEnds) continue;
    if (g.Keys[VK_ESCAPE]) {
      done = true;
      continue;
    }
    // The pointer is read with the scene's steps, 60 times a second: on a paced display that is every
    // frame, while unpaced frames do not each pay a read that under Wine is a round trip to the X server
    // costing more than the frame's whole drawing. While nothing is drawn, at every check.
    if (turn.steps > 0 || !turn.drew) {
      POINT cursor{};
      GetCursorPos(&cursor);
      if (orlinde::CursorMovedFar(g.StartCursor.x, g.StartCursor.y, cursor.x, cursor.y)) done = true;
    }
  }
  g.frames = nullptr;

  ShowCursor(TRUE);
  DestroyRenderWindow();
  return 0;
}

}  // namespace
}  // namespace orlinde::renderer

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState) {
  orlinde::renderer::RendererMain(instance, previous, commandLine, showState);
  return 0;
}
