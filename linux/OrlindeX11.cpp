// The Linux program `orlinde`: the rain on an X11 window through GLX, as an XScreenSaver hack (on the
// window the daemon hands over) or in a window of its own. The same frame loop as the Windows renderer
// steps, drops and draws; this file only finds the window, makes the context, turns X events and signals
// into the scene's keys and the loop's end, asks DPMS whether the monitor is on, and waits in poll()
// between turns.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/dpms.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/BuiltInTexture.h"
#include "linux/FpsOverlay.h"
#include "linux/MonitorsX11.h"
#include "linux/ProgramOptions.h"
#include "linux/Shells.h"
#include "scene/BitmapReader.h"
#include "scene/DisplayPower.h"
#include "scene/ExtensionList.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/MonitorLayout.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SteadyClock.h"
#include "scene/TextureFile.h"

namespace orlinde {
namespace {

constexpr char kProgram[] = "orlinde";
constexpr char kTitle[] = "Orlinde";
constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;

// Set from the signal handlers; the pipe wakes the loop's poll() at once.
volatile sig_atomic_t g_signalled = 0;
int g_wakePipe[2] = {-1, -1};

// What the X error handler saw. Errors come in asynchronously; the loop looks at these flags.
struct XErrorsSeen {
  int glxErrorBase = -1000;
  bool windowGone = false;
};
XErrorsSeen g_errors;

// One line on stderr and status 1: every refusal of bad input ends here.
[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
  std::exit(1);
}

void OnSignal(int) {
  const int saved = errno;
  g_signalled = 1;
  if (g_wakePipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_wakePipe[1], &byte, 1);
  }
  errno = saved;
}

void CatchEndingSignals() {
  if (pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) Fail(std::string("cannot make a pipe: ") + std::strerror(errno));
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

// GLX's protocol error numbers for a drawable or window that is gone (added to the extension's error base).
constexpr int kGlxBadDrawable = 2;
constexpr int kGlxBadCurrentDrawable = 11;
constexpr int kGlxBadWindow = 12;

// The window being destroyed under the program (the daemon switching hacks) shows as BadWindow or
// BadDrawable, from Xlib or from GLX; it ends the loop quietly. Other errors are ignored: Xlib's
// default handler would print a dump and exit.
int OnXError(Display*, XErrorEvent* error) {
  const int code = error->error_code;
  if (code == BadWindow || code == BadDrawable || code == g_errors.glxErrorBase + kGlxBadDrawable ||
      code == g_errors.glxErrorBase + kGlxBadCurrentDrawable || code == g_errors.glxErrorBase + kGlxBadWindow) {
    g_errors.windowGone = true;
  }
  return 0;
}

// The display went away: nothing can be released any more.
int OnXIoError(Display*) {
  static constexpr char kText[] = "orlinde: lost the connection to the X display\n";
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
  _exit(1);
}

BitmapPixels ReadTexture(const std::string& path) {
  if (path.empty()) {
    MemorySource source(kBuiltInCaustics, kBuiltInCausticsSize);
    return ReadBitmapFile(source);
  }
  StdioFileOpener files;
  TextureFile file = ReadTextureFile(files, path);
  switch (file.problem) {
    case TextureProblem::kNone:
      break;
    case TextureProblem::kCannotOpen:
    case TextureProblem::kReadFailed:
      Fail("cannot read the texture \"" + path + "\": " + std::strerror(file.systemError));
    case TextureProblem::kNotABitmap:
      Fail("the texture \"" + path + "\" is not a 24-bit uncompressed bitmap");
  }
  return std::move(file.bitmap);
}

// The scene's key for an X key, or none for keys the scene ignores.
std::optional<SceneKey> SceneKeyFor(KeySym key) {
  switch (key) {
    case XK_Left:
      return SceneKey::kLeft;
    case XK_Up:
      return SceneKey::kUp;
    case XK_Right:
      return SceneKey::kRight;
    case XK_Down:
      return SceneKey::kDown;
    case XK_space:
      return SceneKey::kDrop;
    case XK_KP_Add:
      return SceneKey::kRainFaster;
    case XK_KP_Subtract:
      return SceneKey::kRainSlower;
    default:
      return std::nullopt;
  }
}

// Where the driver offers it, each swap waits for the display's next refresh.
void AskForSwapIntervalOne(Display* display, int screen, GLXDrawable drawable) {
  const char* extensions = glXQueryExtensionsString(display, screen);
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    const auto set =
        reinterpret_cast<SwapIntervalExt>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (set != nullptr) set(display, drawable, 1);
  } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
    using SwapIntervalMesa = int (*)(unsigned);
    const auto set = reinterpret_cast<SwapIntervalMesa>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (set != nullptr) set(1);
  }
}

struct Surface {
  Display* display = nullptr;
  Window window = 0;
  bool ownWindow = false;
  Colormap colormap = 0;
  GLXContext context = nullptr;
  bool doubleBuffered = true;
  int width = 0;
  int height = 0;
  Atom deleteWindow = 0;
};

Display* OpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') Fail("no display: $DISPLAY is not set");
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) Fail(std::string("cannot open the display \"") + name + "\"");
  int eventBase = 0;
  if (!glXQueryExtension(display, &g_errors.glxErrorBase, &eventBase)) {
    Fail(std::string("the display \"") + name + "\" offers no OpenGL (GLX)");
  }
  return display;
}

// An own window titled "Orlinde": 1280 × 720 or the screen if smaller, or the whole screen with
// --fullscreen (asked of the window manager through _NET_WM_STATE; without one the size alone covers it).
XVisualInfo* CreateOwnWindow(Surface& s, bool fullscreen) {
  Display* d = s.display;
  const int screen = DefaultScreen(d);
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE,
                      1,        GLX_DEPTH_SIZE,   16,           None};
  XVisualInfo* visual = glXChooseVisual(d, screen, attributes);
  if (visual == nullptr) Fail("no OpenGL visual with double buffering and depth on this display");

  const int screenWidth = DisplayWidth(d, screen);
  const int screenHeight = DisplayHeight(d, screen);
  s.width = fullscreen || screenWidth < kWindowWidth ? screenWidth : kWindowWidth;
  s.height = fullscreen || screenHeight < kWindowHeight ? screenHeight : kWindowHeight;

  const Window root = RootWindow(d, screen);
  s.colormap = XCreateColormap(d, root, visual->visual, AllocNone);
  XSetWindowAttributes set{};
  set.colormap = s.colormap;
  set.background_pixel = BlackPixel(d, screen);
  set.border_pixel = 0;
  set.event_mask = KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask | ExposureMask;
  s.window =
      XCreateWindow(d, root, 0, 0, static_cast<unsigned>(s.width), static_cast<unsigned>(s.height), 0, visual->depth,
                    InputOutput, visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &set);
  s.ownWindow = true;

  XStoreName(d, s.window, kTitle);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  XChangeProperty(d, s.window, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kTitle), static_cast<int>(std::strlen(kTitle)));
  XClassHint classHint{};
  std::string instanceName = kProgram;
  std::string className = kTitle;
  classHint.res_name = instanceName.data();
  classHint.res_class = className.data();
  XSetClassHint(d, s.window, &classHint);
  s.deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, s.window, &s.deleteWindow, 1);
  const long pid = getpid();
  XChangeProperty(d, s.window, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  if (fullscreen) {
    const Atom state = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(d, s.window, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&state), 1);
  }
  XMapWindow(d, s.window);
  return visual;
}

// A window the program did not make (the daemon's, the root, or --window-id): its own visual, its size
// followed through ConfigureNotify, its end seen through DestroyNotify; nothing of the program's is mapped.
XVisualInfo* UseForeignWindow(Surface& s, Window window) {
  Display* d = s.display;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, window, &attributes)) {
    char text[64];
    std::snprintf(text, sizeof text, "0x%lx is no window on this display", window);
    Fail(text);
  }
  s.window = window;
  s.width = attributes.width;
  s.height = attributes.height;
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  wanted.screen = XScreenNumberOfScreen(attributes.screen);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(d, VisualIDMask | VisualScreenMask, &wanted, &count);
  int usesGl = 0;
  if (visual == nullptr || glXGetConfig(d, visual, GLX_USE_GL, &usesGl) != 0 || !usesGl) {
    char text[96];
    std::snprintf(text, sizeof text, "the visual of window 0x%lx has no OpenGL", window);
    Fail(text);
  }
  XSelectInput(d, window, StructureNotifyMask | ExposureMask);
  return visual;
}

void MakeContext(Surface& s, XVisualInfo* visual) {
  s.context = glXCreateContext(s.display, visual, nullptr, True);
  if (s.context == nullptr) Fail("cannot create an OpenGL context");
  if (!glXMakeCurrent(s.display, s.window, s.context)) Fail("cannot make the OpenGL context current");
  int doubleBuffered = 0;
  glXGetConfig(s.display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
  s.doubleBuffered = doubleBuffered != 0;
  XFree(visual);
}

void Release(Surface& s) {
  glXMakeCurrent(s.display, None, nullptr);
  if (s.context != nullptr) glXDestroyContext(s.display, s.context);
  if (s.ownWindow && !g_errors.windowGone) XDestroyWindow(s.display, s.window);
  if (s.colormap != 0) XFreeColormap(s.display, s.colormap);
  XCloseDisplay(s.display);
}

struct LoopState {
  SceneKeys keys;
  bool quit = false;
  bool repaint = false;   // the window was exposed or resized: draw it again at once
  bool relayout = false;  // the window's size or the monitors changed: lay the scenes out again
  int randrEventBase = -1;
};

void HandleEvent(const XEvent& event, Surface& s, LoopState& loop) {
  switch (event.type) {
    case KeyPress:
    case KeyRelease: {
      XKeyEvent key = event.xkey;
      const KeySym sym = XLookupKeysym(&key, 0);
      if (event.type == KeyPress && (sym == XK_Escape || sym == XK_q || sym == XK_Q)) loop.quit = true;
      if (const auto sceneKey = SceneKeyFor(sym)) loop.keys[*sceneKey] = event.type == KeyPress;
      break;
    }
    case FocusOut:
      loop.keys.ReleaseAll();  // a key released elsewhere would otherwise stay held
      break;
    case ConfigureNotify:
      if (event.xconfigure.window == s.window) {
        s.width = event.xconfigure.width;
        s.height = event.xconfigure.height;
      }
      // The window's size and place, or the screen's (the root window's), decide where the scenes go; the
      // layout sets the viewports again and draws the window anew.
      loop.relayout = true;
      break;
    case Expose:
      // The last of a series of exposures repaints the whole window once.
      if (event.xexpose.window == s.window && event.xexpose.count == 0) loop.repaint = true;
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == s.window) g_errors.windowGone = true;
      break;
    case ClientMessage:
      if (s.ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == s.deleteWindow) loop.quit = true;
      break;
    default:
      if (loop.randrEventBase >= 0 && event.type == loop.randrEventBase + RRScreenChangeNotify) {
        XEvent copy = event;
        XRRUpdateConfiguration(&copy);
        loop.relayout = true;
      }
      break;
  }
}

// Sleeps until `wait` has passed or the X connection or the signal pipe has something.
void WaitForFrameOrEvent(Display* display, Microseconds wait) {
  pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {g_wakePipe[0], POLLIN, 0}};
  const timespec timeout{static_cast<time_t>(wait / 1'000'000), static_cast<long>(wait % 1'000'000) * 1000};
  ppoll(fds, 2, &timeout, nullptr);
  char drained[16];
  while (read(g_wakePipe[0], drained, sizeof drained) > 0) {
  }
}

// The monitor's power level as the DPMS extension reports it.
class DpmsMonitor {
 public:
  explicit DpmsMonitor(Display* display) : display_(display) {
    int eventBase = 0, errorBase = 0;
    present_ = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
  }
  DpmsReading Read() const {
    if (!present_) return DpmsReading::kNoExtension;
    CARD16 level = 0;
    BOOL enabled = False;
    if (!DPMSInfo(display_, &level, &enabled)) return DpmsReading::kNoExtension;
    if (!enabled) return DpmsReading::kDisabled;
    switch (level) {
      case DPMSModeStandby:
        return DpmsReading::kStandby;
      case DPMSModeSuspend:
        return DpmsReading::kSuspend;
      case DPMSModeOff:
        return DpmsReading::kOff;
      default:
        return DpmsReading::kOn;
    }
  }

 private:
  Display* display_;
  bool present_ = false;
};

const char* DpmsText(DpmsReading reading) {
  switch (reading) {
    case DpmsReading::kNoExtension:
      return "no DPMS extension";
    case DpmsReading::kDisabled:
      return "DPMS disabled";
    case DpmsReading::kOn:
      return "on";
    case DpmsReading::kStandby:
      return "standby";
    case DpmsReading::kSuspend:
      return "suspend";
    case DpmsReading::kOff:
      return "off";
  }
  return "?";
}

// The most scenes one window holds (one per monitor), whatever number of heads the server reports.
constexpr std::size_t kMostScenes = 16;

// How long between two questions to the DPMS extension.
constexpr Microseconds kDpmsInterval = 1'000'000;

// Puts the views on the program's one window: each scene in its own part of it (a monitor's) with the
// camera for that part's shape, black where no scene is, then the frame-rate corner and the swap.
class X11Painter final : public ViewPainter {
 public:
  X11Painter(Surface& s, MonotonicClock& clock, bool showFps) : s_(s), clock_(clock), showFps_(showFps) {}

  // The parts of the window the views are drawn in, top-left origin; one part over the whole window draws
  // as a single scene always has (viewport and projection set on resize only).
  void SetAreas(std::vector<SceneArea> areas) {
    areas_ = std::move(areas);
    whole_ = areas_.size() == 1 && areas_[0].area == PixelRect{0, 0, s_.width, s_.height};
  }
  bool Whole() const { return whole_; }

  void PaintView(std::size_t index, RainScene& scene) override {
    if (!whole_) {
      if (index == 0) ClearWindow();
      const PixelRect part = GlViewport(areas_[index].area, s_.height);
      SetSceneViewport(part.x, part.y, part.width, part.height);
      glScissor(part.x, part.y, part.width, part.height);
      glEnable(GL_SCISSOR_TEST);  // the scene's clear stays inside its own part
    }
    DrawScene(scene);
    if (index + 1 == areas_.size()) Present();
  }

  // A window with no scene at all (`primary` on a monitor other than the primary) is shown black.
  void PaintEmpty() {
    ClearWindow();
    Present();
  }

 private:
  void ClearWindow() {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, s_.width, s_.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  void Present() {
    if (!whole_) {
      glDisable(GL_SCISSOR_TEST);
      glViewport(0, 0, s_.width, s_.height);
    }
    if (showFps_) {
      frameRate_.Frame(clock_.Now());
      DrawOverlayText(FrameRateText(frameRate_.Rate()), s_.width, s_.height);
    }
    if (s_.doubleBuffered) {
      glXSwapBuffers(s_.display, s_.window);
    } else {
      glFlush();
    }
  }

  Surface& s_;
  MonotonicClock& clock_;
  bool showFps_;
  FrameRateCounter frameRate_;
  std::vector<SceneArea> areas_;
  bool whole_ = true;
};

// Where the window lies on the root window.
PixelRect WindowOnRoot(const Surface& s) {
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(s.display, s.window, DefaultRootWindow(s.display), 0, 0, &x, &y, &child);
  return {x, y, s.width, s.height};
}

// The parts of the window that get a scene of their own. The root window and the --fullscreen window
// cover every monitor: the mode lays scenes over them (each, primary, span). A plain window and a window a
// daemon hands over get one scene; under a daemon that runs one program per monitor, `primary` leaves the
// windows on the other monitors black.
std::vector<SceneArea> SceneAreas(const Surface& s, DrawPlace::Kind kind, const ProgramOptions& options) {
  const bool coversMonitors = kind == DrawPlace::Kind::kRootWindow || (kind == DrawPlace::Kind::kOwnWindow && options.fullscreen);
  const bool primaryOnly = kind == DrawPlace::Kind::kGivenWindow && options.monitors == MonitorMode::kPrimary;
  if (!coversMonitors && !primaryOnly) return {{{0, 0, s.width, s.height}, true}};
  const MonitorSet desk = CurrentMonitorsX11(s.display, DefaultScreen(s.display));
  return AreasInWindow(LayOutScenes(options.monitors, desk), WindowOnRoot(s));
}

// Asks a window manager to stretch the full-screen window over every monitor (_NET_WM_FULLSCREEN_MONITORS:
// the monitors at its top, bottom, left and right edges, as Xinerama numbers them).
void AskForEveryMonitor(const Surface& s) {
  const MonitorSet desk = CurrentMonitorsX11(s.display, DefaultScreen(s.display));
  if (desk.monitors.size() < 2) return;
  long edges[4] = {0, 0, 0, 0};  // top, bottom, left, right
  for (std::size_t i = 0; i < desk.monitors.size(); ++i) {
    const PixelRect& m = desk.monitors[i];
    const PixelRect& top = desk.monitors[static_cast<std::size_t>(edges[0])];
    const PixelRect& bottom = desk.monitors[static_cast<std::size_t>(edges[1])];
    const PixelRect& left = desk.monitors[static_cast<std::size_t>(edges[2])];
    const PixelRect& right = desk.monitors[static_cast<std::size_t>(edges[3])];
    if (m.y < top.y) edges[0] = static_cast<long>(i);
    if (m.y + m.height > bottom.y + bottom.height) edges[1] = static_cast<long>(i);
    if (m.x < left.x) edges[2] = static_cast<long>(i);
    if (m.x + m.width > right.x + right.width) edges[3] = static_cast<long>(i);
  }
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = s.window;
  message.xclient.message_type = XInternAtom(s.display, "_NET_WM_FULLSCREEN_MONITORS", False);
  message.xclient.format = 32;
  for (int i = 0; i < 4; ++i) message.xclient.data.l[i] = edges[i];
  message.xclient.data.l[4] = 1;  // a normal application
  XSendEvent(s.display, DefaultRootWindow(s.display), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &message);
}

int Run(const ProgramOptions& options) {
  BitmapPixels texture = ReadTexture(options.texture);
  const ResolvedPlace resolved = ResolveDrawPlace(options, std::getenv("XSCREENSAVER_WINDOW"));
  if (!resolved.place) Fail(resolved.error);

  XSetIOErrorHandler(OnXIoError);
  XSetErrorHandler(OnXError);
  Surface s;
  s.display = OpenDisplay();
  XVisualInfo* visual = nullptr;
  switch (resolved.place->kind) {
    case DrawPlace::Kind::kOwnWindow:
      visual = CreateOwnWindow(s, options.fullscreen);
      break;
    case DrawPlace::Kind::kRootWindow:
      visual = UseForeignWindow(s, DefaultRootWindow(s.display));
      break;
    case DrawPlace::Kind::kGivenWindow:
      visual = UseForeignWindow(s, static_cast<Window>(resolved.place->windowId));
      break;
  }
  MakeContext(s, visual);
  XkbSetDetectableAutoRepeat(s.display, True, nullptr);  // a held key sends one press and one release
  const char* verboseSwitch = std::getenv("ORLINDE_VERBOSE");
  const bool verbose = verboseSwitch != nullptr && std::strcmp(verboseSwitch, "1") == 0;
  if (verbose) std::fprintf(stderr, "%s: drawing on window 0x%lx (%d x %d)\n", kProgram, s.window, s.width, s.height);

  FlushDenormalsToZero();
  SteadyClock clock;
  X11Painter painter(s, clock, options.showFps);
  std::vector<SceneView> views;
  ResizeScene(s.width, s.height);
  if (texture.pixels.empty()) Fail("the texture holds no pixels");
  // One scene, with its own drops, for each part of the window that gets one; scenes that are there
  // already go on raining when the layout changes.
  const auto arrange = [&] {
    std::vector<SceneArea> areas = SceneAreas(s, resolved.place->kind, options);
    if (areas.size() > kMostScenes) areas.resize(kMostScenes);
    while (views.size() > areas.size()) views.pop_back();
    while (views.size() < areas.size()) {
      SceneView& view = views.emplace_back(clock);
      InitScene(view.scene, texture, view.rain, ClockSeed(clock) + static_cast<std::uint32_t>(views.size()));
      view.scene.RainInterval = options.rainInterval;
      view.rain.SetRainTimer(view.scene.RainInterval);
    }
    if (verbose) {
      std::fprintf(stderr, "%s: %zu scene(s)", kProgram, areas.size());
      for (const SceneArea& a : areas) std::fprintf(stderr, " %dx%d+%d+%d", a.area.width, a.area.height, a.area.x, a.area.y);
      std::fputc('\n', stderr);
    }
    painter.SetAreas(std::move(areas));
    // Several parts set their viewports as each is drawn (and leave the scissor off after a frame); one part
    // over the whole window keeps the viewport set here.
    if (painter.Whole()) ResizeScene(s.width, s.height);
    if (views.empty()) painter.PaintEmpty();
  };
  if (options.fullscreen && resolved.place->kind == DrawPlace::Kind::kOwnWindow) AskForEveryMonitor(s);
  arrange();

  const bool paced = !PacingSwitchedOff();
  if (paced) AskForSwapIntervalOne(s.display, DefaultScreen(s.display), s.window);
  // The program does not know the display's rate: 60 frames a second, one per scene step.
  FrameLoop frames(clock, ChooseFramePeriod(0, paced, options.delayMicroseconds), views);

  // In a window handed over by a daemon the daemon watches the monitor (XScreenSaver ends its hacks when
  // it powers down); in its own window or on the root window the program asks DPMS once a second.
  const bool watchPower = resolved.place->kind != DrawPlace::Kind::kGivenWindow;
  const DpmsMonitor dpms(s.display);
  DisplayPower power;
  std::optional<DpmsReading> lastReading;
  Microseconds nextPowerCheck = clock.Now();

  LoopState loop;
  loop.randrEventBase = WatchMonitorChangesX11(s.display, DefaultScreen(s.display));
  while (true) {
    while (XPending(s.display) > 0) {
      XEvent event;
      XNextEvent(s.display, &event);
      HandleEvent(event, s, loop);
    }
    if (loop.quit || g_signalled || g_errors.windowGone) break;
    if (watchPower && clock.Now() >= nextPowerCheck) {
      const DpmsReading reading = dpms.Read();
      power.Dpms(reading);
      frames.SetDrawing(power.ShouldDraw());
      if (verbose && reading != lastReading) {
        std::fprintf(stderr, "%s: display power: %s, %s\n", kProgram, DpmsText(reading),
                     power.ShouldDraw() ? "drawing" : "paused");
      }
      lastReading = reading;
      nextPowerCheck = clock.Now() + kDpmsInterval;
    }
    if (loop.relayout) {
      loop.relayout = false;
      arrange();
      frames.SetViews(views);
      loop.repaint = true;
    }
    if (loop.repaint) {
      loop.repaint = false;
      if (views.empty()) {
        painter.PaintEmpty();
      } else {
        frames.Repaint(painter);
      }
    }
    if (const Microseconds wait = frames.TimeUntilDue(); wait > 0) {
      WaitForFrameOrEvent(s.display, wait);
      continue;
    }
    frames.Turn(loop.keys, painter);
  }
  Release(s);
  return 0;
}

}  // namespace
}  // namespace orlinde

int orlinde::RunX11(const ProgramOptions& options) {
  CatchEndingSignals();
  return Run(options);
}
