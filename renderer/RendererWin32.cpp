// The renderer program: its one pop-up OpenGL window, the paced frame loop, the key table, the three
// ways it ends, and the teardown. Everything it draws comes from the scene (SceneGl); when to draw and
// how many scene steps to run comes from the frame pacer.
#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <cstring>

#include "common/CursorRule.h"
#include "common/HandOverPath.h"
#include "common/WindowTitles.h"
#include "scene/BitmapReader.h"
#include "scene/FramePacer.h"
#include "scene/RainScene.h"
#include "renderer/RendererTexts.h"
#include "scene/SceneGl.h"

namespace orlinde::renderer {
namespace {

struct RendererState {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  KeyTable Keys{};
  POINT StartCursor{};
  RainScene scene;
};

RendererState g;

void ShowError(const char* text) {
  MessageBoxA(nullptr, text, texts::kErrorCaption, MB_OK | MB_ICONSTOP);
}

// Reads the hand-over file through CreateFileA/ReadFile.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(HANDLE file) : file_(file) {}
  std::size_t Read(std::uint8_t* into, std::size_t count) override {
    DWORD got = 0;
    const DWORD want = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
    if (!ReadFile(file_, into, want, &got, nullptr)) return 0;
    return got;
  }

 private:
  HANDLE file_;
};

class Win32ScenePlatform final : public ScenePlatform {
 public:
  BitmapPixels ReadTextureBitmap() override {
    const std::string path = orlinde::HandOverBitmapPath();
    if (path.empty()) return {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    FileSource source(file);
    BitmapPixels bitmap = ReadBitmapFile(source);
    CloseHandle(file);
    return bitmap;
  }
  // A texture that cannot be read ends the program silently: no message and no window teardown. The GL
  // context is released first: ending the process with it still current lets the driver's worker threads
  // fault while the process goes down (seen with Mesa's llvmpipe under Wine).
  void EndProcess(int exitCode) override {
    if (g.renderingContext != nullptr) {
      wglMakeCurrent(nullptr, nullptr);
      wglDeleteContext(g.renderingContext);
      g.renderingContext = nullptr;
    }
    ExitProcess(static_cast<UINT>(exitCode));
  }
  std::uint32_t ClockSeed() override { return static_cast<std::uint32_t>(GetTickCount()); }
  void SetRainTimer(std::int32_t milliseconds) override {
    SetTimer(g.window, kRainTimerId, static_cast<UINT>(milliseconds), nullptr);
  }
};

Win32ScenePlatform g_platform;

// The system's performance counter in microseconds.
class PerformanceClock final : public MonotonicClock {
 public:
  PerformanceClock() { QueryPerformanceFrequency(&frequency_); }
  Microseconds Now() override {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const std::int64_t perSecond = frequency_.QuadPart;
    // Whole seconds and the remainder apart, so that the product cannot overflow.
    return count.QuadPart / perSecond * 1'000'000 + count.QuadPart % perSecond * 1'000'000 / perSecond;
  }

 private:
  LARGE_INTEGER frequency_{};
};

// ORLINDE_UNPACED=1 draws frames as fast as the loop can, to measure what pacing saves.
bool PacingSwitchedOff() {
  char value[4] = {};
  return GetEnvironmentVariableA("ORLINDE_UNPACED", value, sizeof value) == 1 && value[0] == '1';
}

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
  if (names != nullptr && std::strstr(names, "WGL_EXT_swap_control") != nullptr) swapInterval(1);
}

// Waits until the next frame is due or any input or message arrives, whichever comes first. The wait
// is rounded up to whole milliseconds: a frame may come a little late, never early.
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
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wParam < g.Keys.size()) g.Keys[wParam] = true;
      return 0;
    case WM_KEYUP:
      if (wParam < g.Keys.size()) g.Keys[wParam] = false;
      return 0;
    case WM_TIMER:
      if (wParam == kRainTimerId) {
        AddDrop(g.scene);
        return 0;
      }
      break;
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
  InitScene(g.scene, g_platform);
  return true;
}

int RendererMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FlushDenormalsToZero();
  if (!CreateRenderWindow(32)) return 0;
  GetCursorPos(&g.StartCursor);
  ShowCursor(FALSE);

  const bool paced = !PacingSwitchedOff();
  if (paced) AskForSwapIntervalOne();
  PerformanceClock clock;
  FramePacer pacer(clock, paced ? FramePeriod(GetDeviceCaps(g.deviceContext, VREFRESH)) : 0);
  const TimerResolution resolution(paced);

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
    if (const Microseconds wait = pacer.TimeUntilFrame(); wait > 0) {
      WaitForFrameOrInput(wait);
      continue;
    }
    const int steps = pacer.BeginFrame();
    for (int step = 0; step < steps; ++step) StepScene(g.scene, g.Keys);
    DrawScene(g.scene);
    SwapBuffers(g.deviceContext);
    if (g.Keys[VK_ESCAPE]) {
      done = true;
      continue;
    }
    ProcessKeys(g.scene, g.Keys, g_platform);
    // The pointer is read with the scene's steps, 60 times a second: on a paced display that is every
    // frame, while unpaced frames do not each pay a read that under Wine is a round trip to the X server
    // costing more than the frame's whole drawing.
    if (steps > 0) {
      POINT cursor{};
      GetCursorPos(&cursor);
      if (orlinde::CursorMovedFar(g.StartCursor.x, g.StartCursor.y, cursor.x, cursor.y)) done = true;
    }
  }

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
