// The Linux program `orlinde` on X11: the rain through GLX on an X window, as a screen-saver hack (on the
// window a daemon hands over, or the root window) or in a window of its own.
//
// What this shell does: finds or makes the window and its GLX context; turns X key events into the scene's
// keys (Escape or q end it) and SIGTERM, SIGINT and SIGHUP into a quiet end; lays one view per monitor on
// the root window and the full-screen window (each, primary, span), again whenever the window or the
// monitors change; asks DPMS once a second whether the monitor shows anything (not in a daemon's window:
// the daemon watches it); sleeps in ppoll() between turns of the scene's frame loop.
// What it leaves to the scene: when to draw (at most one frame per scene step), the steps, the drops, the
// views and their textures. Swap policy: each swap waits for the display's refresh where GLX offers swap
// control (GLX_EXT_swap_control or GLX_MESA_swap_control), unless ORLINDE_UNPACED=1 asks for frames
// as fast as the loop turns. The frame-rate corner (--fps) is drawn over the views before the swap.
// No pointer rule here: XScreenSaver and the other daemons end a hack on input themselves.
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/BitmapReader.h"
#include "common/MonitorLayout.h"
#include "common/RunSwitches.h"
#include "linux/DisplayPowerX11.h"
#include "linux/FpsOverlay.h"
#include "linux/MonitorsX11.h"
#include "linux/ProgramOptions.h"
#include "linux/ProgramStart.h"
#include "linux/Shells.h"
#include "scene/DisplayPower.h"
#include "scene/ExtensionList.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SceneViews.h"
#include "scene/SteadyClock.h"

namespace orlinde {
namespace {

constexpr char kProgram[] = "orlinde";
constexpr char kTitle[] = "Orlinde";
constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;

// What the X error handler saw. Errors come in asynchronously; the loop looks at these flags. Global because
// Xlib calls the handler with nothing of ours.
struct XErrorsSeen {
  int glxErrorBase = -1000;
  bool windowGone = false;
};
XErrorsSeen g_errors;

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

// The keys the scene reacts to; every other key is ignored (Escape and q end the program).
struct KeyBinding {
  KeySym key;
  SceneKey sceneKey;
};
constexpr KeyBinding kSceneKeys[] = {
    {XK_Left, SceneKey::kLeft},
    {XK_Right, SceneKey::kRight},
    {XK_Up, SceneKey::kUp},
    {XK_Down, SceneKey::kDown},
    {XK_space, SceneKey::kDrop},
    {XK_KP_Add, SceneKey::kRainFaster},
    {XK_KP_Subtract, SceneKey::kRainSlower},
};

std::optional<SceneKey> SceneKeyFor(KeySym key) {
  for (const KeyBinding& binding : kSceneKeys) {
    if (binding.key == key) return binding.sceneKey;
  }
  return std::nullopt;
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

// The most views one window holds (one per monitor), whatever number of heads the server reports.
constexpr std::size_t kMostScenes = 16;

struct Program;

// Puts the views on the window: black where no view is, each view in its own part of the window with the
// camera for that part's shape, then the frame-rate corner and the swap.
class WindowPainter final : public ViewPainter {
 public:
  explicit WindowPainter(Program& p) : p_(p) {}
  void BeginFrame() override;
  void PaintView(SceneView& view) override { DrawView(view); }
  void EndFrame() override;

 private:
  Program& p_;
  FrameRateCounter frameRate_;
};

// A key, a close request, a signal or the window going away end the program; the scene's loop asks after
// every frame and at least 20 times a second.
class ProgramEnds final : public EndCheck {
 public:
  explicit ProgramEnds(Program& p) : p_(p) {}
  bool ShouldEnd(const TurnOutcome&) override;

 private:
  Program& p_;
};

// Everything the program holds, in the order it is opened; closed in the reverse order.
struct Program {
  explicit Program(const ProgramOptions& o, DrawPlace::Kind k) : options(o), kind(k) {}
  const ProgramOptions& options;
  const DrawPlace::Kind kind;
  std::uint64_t windowId = 0;  // with a given window
  bool verbose = false;

  // The window and its context.
  Display* display = nullptr;
  Window window = 0;
  bool ownWindow = false;
  Colormap colormap = 0;
  GLXContext context = nullptr;
  bool doubleBuffered = true;
  int width = 0;
  int height = 0;
  Atom deleteWindow = 0;
  int randrEventBase = -1;

  // The scene.
  SteadyClock clock;
  std::optional<SceneViews> views;
  std::optional<FrameLoop> frames;
  std::optional<DpmsWatchX11> dpms;  // on the program's own window and the root window only
  DisplayPower power;
  GlViewTargets target{[this](std::size_t) { glXMakeCurrent(display, window, context); }};  // the only one
  WindowPainter painter{*this};
  ProgramEnds ends{*this};
  bool viewsCoverWindow = true;  // one view over the whole window: nothing to clear around it

  // The loop's state between events.
  SceneKeys keys;
  bool quit = false;
  bool repaint = false;   // the window was exposed: draw it again at once
  bool relayout = false;  // the window's size or the monitors changed: lay the views out again
};

void WindowPainter::BeginFrame() {
  if (p_.viewsCoverWindow) return;
  glViewport(0, 0, p_.width, p_.height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void WindowPainter::EndFrame() {
  if (!p_.viewsCoverWindow) glViewport(0, 0, p_.width, p_.height);
  if (p_.options.showFps) {
    frameRate_.Frame(p_.clock.Now());
    DrawOverlayText(FrameRateText(frameRate_.Rate()), p_.width, p_.height);
  }
  if (p_.doubleBuffered) {
    glXSwapBuffers(p_.display, p_.window);
  } else {
    glFlush();
  }
}

bool Ending(const Program& p) {
  return p.quit || Signalled() || g_errors.windowGone;
}

bool ProgramEnds::ShouldEnd(const TurnOutcome&) {
  return Ending(p_);
}

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
XVisualInfo* CreateOwnWindow(Program& s) {
  const bool fullscreen = s.options.fullscreen;
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
XVisualInfo* UseForeignWindow(Program& s, Window window) {
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

void MakeContext(Program& s, XVisualInfo* visual) {
  s.context = glXCreateContext(s.display, visual, nullptr, True);
  if (s.context == nullptr) Fail("cannot create an OpenGL context");
  if (!glXMakeCurrent(s.display, s.window, s.context)) Fail("cannot make the OpenGL context current");
  int doubleBuffered = 0;
  glXGetConfig(s.display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
  s.doubleBuffered = doubleBuffered != 0;
  XFree(visual);
}

// Asks a window manager to stretch the full-screen window over every monitor (_NET_WM_FULLSCREEN_MONITORS:
// the monitors at its top, bottom, left and right edges, as Xinerama numbers them).
void AskForEveryMonitor(const Program& s) {
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

// Where the window lies on the root window.
PixelRect WindowOnRoot(const Program& p) {
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(p.display, p.window, DefaultRootWindow(p.display), 0, 0, &x, &y, &child);
  return {x, y, p.width, p.height};
}

// The parts of the window that get a view of their own. The root window and the --fullscreen window
// cover every monitor: the mode lays views over them (each, primary, span). A plain window and a window a
// daemon hands over get one view; under a daemon that runs one program per monitor, `primary` leaves the
// windows on the other monitors black.
std::vector<SceneArea> SceneAreas(const Program& p) {
  const bool coversMonitors =
      p.kind == DrawPlace::Kind::kRootWindow || (p.kind == DrawPlace::Kind::kOwnWindow && p.options.fullscreen);
  const bool primaryOnly = p.kind == DrawPlace::Kind::kGivenWindow && p.options.monitors == MonitorMode::kPrimary;
  if (!coversMonitors && !primaryOnly) return {{{0, 0, p.width, p.height}, true}};
  const MonitorSet desk = CurrentMonitorsX11(p.display, DefaultScreen(p.display));
  return AreasInWindow(LayOutScenes(p.options.monitors, desk), WindowOnRoot(p));
}

// Lays the views over the window as its size and the monitors are now; views that stay go on raining.
void LayOutViews(Program& p) {
  std::vector<SceneArea> areas = SceneAreas(p);
  if (areas.size() > kMostScenes) areas.resize(kMostScenes);
  std::vector<ViewPlace> places;
  for (const SceneArea& a : areas) {
    places.push_back({0, {a.area.x, a.area.y, a.area.width, a.area.height}, p.width, p.height});
  }
  p.views->Arrange(places, p.target);
  p.viewsCoverWindow = places.size() == 1 && places[0].IsWhole();
  if (p.verbose) {
    std::fprintf(stderr, "%s: %zu scene(s)", kProgram, areas.size());
    for (const SceneArea& a : areas)
      std::fprintf(stderr, " %dx%d+%d+%d", a.area.width, a.area.height, a.area.x, a.area.y);
    std::fprintf(stderr, " textures: %zu\n", p.views->TextureCount());
  }
  p.relayout = false;
  p.repaint = true;
}

// The program's full-screen window keeps covering the screen when the monitors change it: without a window
// manager nothing else would resize it, and with one the request is the same as the start-up's.
void FollowTheScreen(Program& p) {
  if (!p.ownWindow || !p.options.fullscreen) return;
  const int screen = DefaultScreen(p.display);
  const int width = DisplayWidth(p.display, screen);
  const int height = DisplayHeight(p.display, screen);
  if (width == p.width && height == p.height) return;
  XMoveResizeWindow(p.display, p.window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
  AskForEveryMonitor(p);
}

void HandleEvent(Program& p, const XEvent& event) {
  switch (event.type) {
    case KeyPress:
    case KeyRelease: {
      XKeyEvent key = event.xkey;
      const KeySym sym = XLookupKeysym(&key, 0);
      if (event.type == KeyPress && (sym == XK_Escape || sym == XK_q || sym == XK_Q)) p.quit = true;
      if (const auto sceneKey = SceneKeyFor(sym)) p.keys[*sceneKey] = event.type == KeyPress;
      break;
    }
    case FocusOut:
      p.keys.ReleaseAll();  // a key released elsewhere would otherwise stay held
      break;
    case ConfigureNotify:
      if (event.xconfigure.window == p.window) {
        p.width = event.xconfigure.width;
        p.height = event.xconfigure.height;
      }
      // The window's size and place, or the screen's (the root window's), decide where the views go.
      p.relayout = true;
      break;
    case Expose:
      // The last of a series of exposures repaints the whole window once.
      if (event.xexpose.window == p.window && event.xexpose.count == 0) p.repaint = true;
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == p.window) g_errors.windowGone = true;
      break;
    case ClientMessage:
      if (p.ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == p.deleteWindow) p.quit = true;
      break;
    default:
      if (p.randrEventBase >= 0 && event.type == p.randrEventBase + RRScreenChangeNotify) {
        XEvent copy = event;
        XRRUpdateConfiguration(&copy);
        FollowTheScreen(p);
        p.relayout = true;
      }
      break;
  }
}

// Sleeps until `wait` has passed or the X connection or the signal pipe has something.
void WaitForFrameOrEvent(Display* display, Microseconds wait) {
  pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {WakeFd(), POLLIN, 0}};
  const timespec timeout{static_cast<time_t>(wait / 1'000'000), static_cast<long>(wait % 1'000'000) * 1000};
  ppoll(fds, 2, &timeout, nullptr);
  DrainWake();
}

// The display, the window (the program's own, the root or a given one) and its GL context.
void OpenWindow(Program& p) {
  XSetIOErrorHandler(OnXIoError);
  XSetErrorHandler(OnXError);
  p.display = OpenDisplay();
  XVisualInfo* visual = nullptr;
  switch (p.kind) {
    case DrawPlace::Kind::kOwnWindow:
      visual = CreateOwnWindow(p);
      break;
    case DrawPlace::Kind::kRootWindow:
      visual = UseForeignWindow(p, DefaultRootWindow(p.display));
      break;
    case DrawPlace::Kind::kGivenWindow:
      visual = UseForeignWindow(p, static_cast<Window>(p.windowId));
      break;
  }
  MakeContext(p, visual);
  XkbSetDetectableAutoRepeat(p.display, True, nullptr);  // a held key sends one press and one release
  if (p.verbose) std::fprintf(stderr, "%s: drawing on window 0x%lx (%d x %d)\n", kProgram, p.window, p.width, p.height);
  p.randrEventBase = WatchMonitorChangesX11(p.display, DefaultScreen(p.display));
  if (p.options.fullscreen && p.kind == DrawPlace::Kind::kOwnWindow) AskForEveryMonitor(p);
}

// The views over the monitors, the frame loop at the display's pace, and the display-power watch.
void OpenScene(Program& p, BitmapPixels texture, bool paced) {
  FlushDenormalsToZero();
  p.views.emplace(p.clock, std::move(texture), p.options.rainInterval, ClockSeed(p.clock));
  LayOutViews(p);
  if (paced) AskForSwapIntervalOne(p.display, DefaultScreen(p.display), p.window);
  // The program does not know the display's rate: 60 frames a second, one per scene step.
  p.frames.emplace(p.clock, ChooseFramePeriod(0, paced, p.options.delayMicroseconds), *p.views);
  if (p.kind != DrawPlace::Kind::kGivenWindow) p.dpms.emplace(p.display, p.verbose);
}

// Events, display power and layout first; then the scene's turn, or a sleep until something is due.
void RunLoop(Program& p) {
  while (true) {
    while (XPending(p.display) > 0) {
      XEvent event;
      XNextEvent(p.display, &event);
      HandleEvent(p, event);
    }
    if (Ending(p)) return;
    if (p.dpms) {
      p.dpms->Poll(p.clock.Now(), p.power);
      p.frames->SetDrawing(p.power.ShouldDraw());
    }
    if (p.relayout) LayOutViews(p);
    if (p.repaint) {
      p.repaint = false;
      p.frames->Repaint(p.painter);
    }
    if (const Microseconds wait = p.frames->TimeUntilDue(); wait > 0) {
      WaitForFrameOrEvent(p.display, wait);
    } else if (p.frames->Turn(p.keys, p.painter, p.ends)) {
      return;
    }
  }
}

void CloseScene(Program& p) {
  p.dpms.reset();
  p.frames.reset();
  if (!g_errors.windowGone) p.views->Clear(p.target);
  p.views.reset();
}

void CloseWindow(Program& p) {
  glXMakeCurrent(p.display, None, nullptr);
  if (p.context != nullptr) glXDestroyContext(p.display, p.context);
  if (p.ownWindow && !g_errors.windowGone) XDestroyWindow(p.display, p.window);
  if (p.colormap != 0) XFreeColormap(p.display, p.colormap);
  XCloseDisplay(p.display);
}

int Run(const ProgramOptions& options) {
  BitmapPixels texture = ReadTexture(options.texture);
  if (texture.pixels.empty()) Fail("the texture holds no pixels");
  const ResolvedPlace resolved = ResolveDrawPlace(options, std::getenv("XSCREENSAVER_WINDOW"));
  if (!resolved.place) Fail(resolved.error);
  Program p(options, resolved.place->kind);
  p.windowId = resolved.place->windowId;
  p.verbose = SwitchedOn("ORLINDE_VERBOSE");

  OpenWindow(p);
  OpenScene(p, std::move(texture), !PacingSwitchedOff());
  RunLoop(p);
  CloseScene(p);
  CloseWindow(p);
  return 0;
}

}  // namespace
}  // namespace orlinde

int orlinde::RunX11(const ProgramOptions& options) {
  CatchEndingSignals();
  return Run(options);
}
