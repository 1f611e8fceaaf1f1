// The Linux program on Wayland: the rain through EGL (desktop OpenGL, so the scene's fixed-function drawing
// runs unchanged) on surfaces a Wayland compositor shows.
//
// What it does:
//  - The screen saver (--root, what an idle daemon runs): one surface per output on the layer-shell overlay
//    layer, anchored to every edge, taking the keyboard; each output its own scene. A key, a button, or the
//    pointer moving past the cursor rule (common/CursorRule.h) ends it. Where the compositor offers no
//    layer-shell, one full-screen xdg-toplevel per output instead, said once on stderr.
//  - --monitors primary: the rain on the output the compositor picks for a surface given no output, the
//    others black. span acts as each: a surface cannot cross outputs.
//  - Otherwise a window of its own: a 1280 x 720 xdg-toplevel titled "Orlinde" (--fullscreen: full screen)
//    with the X11 window's keys (arrows, Space, keypad + and -; Escape or q end it).
//  - Paced by the compositor: a surface draws only once the compositor has called back for its last frame,
//    and the scene's frame loop draws at most once a scene step. An output that stops calling back (off,
//    hidden) draws nothing and holds up no other. The end checks run at least 20 times a second.
//  - Each surface draws at its output's scale (buffer scale), so a scale-2 output gets full-resolution rain.
//  - Outputs that come and go get and lose their surface, EGL surface and scene (with its texture).
//  - One EGL context for every surface; each surface is a target of the views. Swaps never wait (swap
//    interval 0): the frame callbacks pace the drawing. --fps writes the frame rate on every surface.
// What it does not:
//  - Lock the session: it ends on input and asks for no password.
//  - Compare pointer positions across outputs: the pointer entering another surface than the one it was
//    first seen on counts as a move past the rule.
//  - Watch display power: an output that is off simply stops calling back.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>
#include <xkbcommon/xkbcommon.h>
// The protocol headers wayland-scanner makes in the build folder. The layer-shell one names an argument
// "namespace", a C++ keyword.
#define namespace namespace_
#include <wlr-layer-shell-unstable-v1-client-protocol.h>
#undef namespace
#include <xdg-shell-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/CursorRule.h"
#include "common/RunSwitches.h"
#include "linux/FpsOverlay.h"
#include "linux/ProgramOptions.h"
#include "linux/ProgramStart.h"
#include "linux/Shells.h"
#include "scene/FrameLoop.h"
#include "scene/FramePacer.h"
#include "scene/Gl.h"
#include "scene/RainScene.h"
#include "scene/SceneGl.h"
#include "scene/SceneViews.h"
#include "scene/SteadyClock.h"

namespace orlinde {
namespace {

constexpr char kTitle[] = "Orlinde";
constexpr char kAppId[] = "orlinde";
constexpr char kLayerNamespace[] = "orlinde";
constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;
// The most outputs that get a scene, as on X11.
constexpr std::size_t kMostScenes = 16;

// The window's keys: the scene's keys and the ones that end it.
struct KeyToScene {
  xkb_keysym_t sym;
  SceneKey key;
};
constexpr KeyToScene kSceneKeys[] = {
    {XKB_KEY_Left, SceneKey::kLeft},         {XKB_KEY_Up, SceneKey::kUp},
    {XKB_KEY_Right, SceneKey::kRight},       {XKB_KEY_Down, SceneKey::kDown},
    {XKB_KEY_space, SceneKey::kDrop},        {XKB_KEY_KP_Add, SceneKey::kRainFaster},
    {XKB_KEY_KP_Subtract, SceneKey::kRainSlower},
};
constexpr xkb_keysym_t kEndingKeys[] = {XKB_KEY_Escape, XKB_KEY_q, XKB_KEY_Q};

struct Program;

// The views' target `target` current: its surface, on the one EGL context every surface shares.
void MakeSurfaceCurrent(Program& p, std::size_t target);

// One wl_output the compositor announced.
struct Output {
  Program* program = nullptr;
  wl_output* output = nullptr;
  std::uint32_t name = 0;  // the registry's
  std::int32_t scale = 1;
  bool ready = false;  // its first description is complete ("done")
  bool gone = false;   // removed by the compositor: its surface goes, then it
};

// One surface the program shows: a layer surface or an xdg-toplevel, with its EGL surface once configured.
// Its number is the views' target.
struct Surface {
  Program* program = nullptr;
  std::size_t target = 0;
  Output* output = nullptr;   // the output it was made for; nullptr: the compositor's pick
  Output* shownOn = nullptr;  // the output it last entered
  bool rains = true;          // false: black (--monitors primary, another output)
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wl_egl_window* eglWindow = nullptr;
  EGLSurface eglSurface = EGL_NO_SURFACE;
  wl_callback* frame = nullptr;  // the compositor has not yet called back for the last frame
  std::int32_t width = 0;        // logical pixels, as configured
  std::int32_t height = 0;
  std::int32_t pendingWidth = 0;  // an xdg-toplevel's size before its xdg_surface configure
  std::int32_t pendingHeight = 0;
  std::int32_t scale = 1;
  bool closed = false;      // the compositor closed it (its output went): made again if still wanted
  bool going = false;       // its views leave before it is destroyed
  bool needsBlack = false;  // a black surface's next buffer is due
  FrameRateCounter frameRate;
};

bool Drawable(const Surface& s) { return s.eglSurface != EGL_NO_SURFACE && !s.closed && !s.going; }

// The pointer where it was first seen, for the cursor rule.
struct PointerStart {
  wl_surface* surface = nullptr;
  int x = 0;
  int y = 0;
};

// Each view on its own surface, once the compositor has called back for that surface's last frame; then
// the frame-rate corner, the next call-back asked for, and the swap (which commits).
class SurfacePainter final : public ViewPainter {
 public:
  explicit SurfacePainter(Program& p) : p_(p) {}
  void PaintView(SceneView& view) override;

 private:
  Program& p_;
};

// A key, a button, the pointer past the rule (the screen saver), a close request or a signal end it.
class ProgramEnds final : public EndCheck {
 public:
  explicit ProgramEnds(Program& p) : p_(p) {}
  bool ShouldEnd(const TurnOutcome&) override;

 private:
  Program& p_;
};

// Everything the program holds, in the order it is opened; closed in the reverse order.
struct Program {
  explicit Program(const ProgramOptions& o) : options(o), saver(o.target == DrawTarget::kRoot) {}
  const ProgramOptions& options;
  const bool saver;  // --root: the screen saver, else a window of its own
  bool verbose = false;

  // The connection, the globals it offers, and input.
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_seat* seat = nullptr;
  std::vector<std::unique_ptr<Output>> outputs;
  wl_keyboard* keyboard = nullptr;
  wl_pointer* pointer = nullptr;
  wl_surface* pointerSurface = nullptr;  // the surface wl_pointer.motion refers to (set on enter)
  xkb_context* xkb = nullptr;
  xkb_keymap* keymap = nullptr;
  xkb_state* keyState = nullptr;

  // EGL and the surfaces.
  EGLDisplay egl = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  EGLContext context = EGL_NO_CONTEXT;
  std::vector<std::unique_ptr<Surface>> surfaces;
  std::size_t nextTarget = 0;

  // The scene.
  SteadyClock clock;
  std::optional<SceneViews> views;
  std::optional<FrameLoop> frames;
  GlViewTargets targets{[this](std::size_t target) { MakeSurfaceCurrent(*this, target); }};
  SurfacePainter painter{*this};
  ProgramEnds ends{*this};

  // The loop's state between events.
  SceneKeys keys;
  std::optional<PointerStart> pointerStart;
  bool quit = false;
  bool relayout = true;  // outputs or surfaces changed: match the surfaces to the outputs, lay the views out
};

bool Ending(const Program& p) { return p.quit || Signalled(); }

bool ProgramEnds::ShouldEnd(const TurnOutcome&) { return Ending(p_); }

std::string ConnectionName() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  return name != nullptr && *name != '\0' ? name : "wayland-0";
}

// A failed request, a protocol error or a compositor gone: nothing on it can be released any more.
[[noreturn]] void LostConnection(Program& p) {
  const int error = wl_display_get_error(p.display);
  Fail("lost the connection to the Wayland compositor" +
       (error != 0 ? std::string(" (") + std::strerror(error) + ")" : std::string()));
}

// --- Outputs -------------------------------------------------------------------------------------------

void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                      int32_t) {}
void OnOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void OnOutputDone(void* data, wl_output*);  // with the surfaces, whose scale follows it
void OnOutputScale(void* data, wl_output*, int32_t factor) {
  static_cast<Output*>(data)->scale = std::max(1, factor);
}
constexpr wl_output_listener kOutputListener = {
    .geometry = OnOutputGeometry, .mode = OnOutputMode, .done = OnOutputDone, .scale = OnOutputScale,
    .name = nullptr, .description = nullptr};  // version 4 events: never sent to version 3

// --- Input ---------------------------------------------------------------------------------------------

void OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
  auto& p = *static_cast<Program*>(data);
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
    close(fd);
    return;
  }
  void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (text == MAP_FAILED) return;
  xkb_keymap* keymap =
      xkb_keymap_new_from_string(p.xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (keymap == nullptr) return;
  xkb_state_unref(p.keyState);
  xkb_keymap_unref(p.keymap);
  p.keymap = keymap;
  p.keyState = xkb_state_new(keymap);
}
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface*) {
  static_cast<Program*>(data)->keys.ReleaseAll();  // a key released elsewhere would otherwise stay held
}
void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
  auto& p = *static_cast<Program*>(data);
  const bool pressed = state == WL_KEYBOARD_KEY_STATE_PRESSED;
  if (p.saver) {
    if (pressed) p.quit = true;  // any key ends the screen saver
    return;
  }
  if (p.keyState == nullptr) return;
  const xkb_keysym_t sym = xkb_state_key_get_one_sym(p.keyState, key + 8);  // evdev to xkb key codes
  if (pressed && std::find(std::begin(kEndingKeys), std::end(kEndingKeys), sym) != std::end(kEndingKeys)) {
    p.quit = true;
  }
  for (const KeyToScene& entry : kSceneKeys) {
    if (entry.sym == sym) p.keys[entry.key] = pressed;
  }
}
void OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                 uint32_t group) {
  auto& p = *static_cast<Program*>(data);
  if (p.keyState != nullptr) xkb_state_update_mask(p.keyState, depressed, latched, locked, 0, 0, group);
}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
constexpr wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                    OnKey,    OnModifiers,     OnRepeatInfo};

// The screen saver's pointer rule: ends when the pointer is past the rule from where it was first seen, or
// on another surface (another output) than that one.
void PointerAt(Program& p, wl_surface* surface, wl_fixed_t fx, wl_fixed_t fy) {
  if (!p.saver) return;
  const int x = wl_fixed_to_int(fx);
  const int y = wl_fixed_to_int(fy);
  if (!p.pointerStart) {
    p.pointerStart = PointerStart{surface, x, y};
    return;
  }
  if (surface != p.pointerStart->surface || CursorMovedFar(p.pointerStart->x, p.pointerStart->y, x, y)) p.quit = true;
}
void OnPointerEnter(void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
  auto& p = *static_cast<Program*>(data);
  p.pointerSurface = surface;
  PointerAt(p, surface, x, y);
}
void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
  static_cast<Program*>(data)->pointerSurface = nullptr;
}
void OnPointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  auto& p = *static_cast<Program*>(data);
  if (p.pointerSurface != nullptr) PointerAt(p, p.pointerSurface, x, y);
}
void OnButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  auto& p = *static_cast<Program*>(data);
  if (p.saver && state == WL_POINTER_BUTTON_STATE_PRESSED) p.quit = true;
}
void OnAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void OnPointerFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
constexpr wl_pointer_listener kPointerListener = {
    .enter = OnPointerEnter,   .leave = OnPointerLeave, .motion = OnPointerMotion, .button = OnButton,
    .axis = OnAxis,            .frame = OnPointerFrame, .axis_source = OnAxisSource, .axis_stop = OnAxisStop,
    .axis_discrete = OnAxisDiscrete, .axis_value120 = nullptr};  // a version 8 event: never sent to version 5

void OnSeatCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
  auto& p = *static_cast<Program*>(data);
  const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
  if (hasKeyboard && p.keyboard == nullptr) {
    p.keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(p.keyboard, &kKeyboardListener, &p);
  } else if (!hasKeyboard && p.keyboard != nullptr) {
    wl_keyboard_release(p.keyboard);
    p.keyboard = nullptr;
  }
  if (hasPointer && p.pointer == nullptr) {
    p.pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(p.pointer, &kPointerListener, &p);
  } else if (!hasPointer && p.pointer != nullptr) {
    wl_pointer_release(p.pointer);
    p.pointer = nullptr;
  }
}
void OnSeatName(void*, wl_seat*, const char*) {}
constexpr wl_seat_listener kSeatListener = {OnSeatCapabilities, OnSeatName};

// --- Globals -------------------------------------------------------------------------------------------

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
constexpr xdg_wm_base_listener kWmBaseListener = {OnPing};

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t offered, uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  auto& p = *static_cast<Program*>(data);
  const std::string_view which = interface;
  if (which == wl_compositor_interface.name) {
    p.compositor = Bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4);
  } else if (which == zwlr_layer_shell_v1_interface.name) {
    p.layerShell = Bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 3);
  } else if (which == xdg_wm_base_interface.name) {
    p.wmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 2);
    xdg_wm_base_add_listener(p.wmBase, &kWmBaseListener, &p);
  } else if (which == wl_seat_interface.name && p.seat == nullptr) {
    p.seat = Bind<wl_seat>(registry, name, wl_seat_interface, version, 5);
    wl_seat_add_listener(p.seat, &kSeatListener, &p);
  } else if (which == wl_output_interface.name) {
    auto output = std::make_unique<Output>();
    output->program = &p;
    output->name = name;
    output->output = Bind<wl_output>(registry, name, wl_output_interface, version, 3);
    output->ready = version < 2;  // before version 2 there is no "done"
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    p.outputs.push_back(std::move(output));
    p.relayout = true;
  }
}
void OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
  auto& p = *static_cast<Program*>(data);
  for (auto& output : p.outputs) {
    if (output->name == name) {
      output->gone = true;
      p.relayout = true;
    }
  }
}
constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// --- Surfaces ------------------------------------------------------------------------------------------

void OnSurfaceEnter(void* data, wl_surface*, wl_output* output) {
  static_cast<Surface*>(data)->shownOn = static_cast<Output*>(wl_output_get_user_data(output));
}
void OnSurfaceLeave(void* data, wl_surface*, wl_output* output) {
  auto& s = *static_cast<Surface*>(data);
  if (s.shownOn == wl_output_get_user_data(output)) s.shownOn = nullptr;
}
constexpr wl_surface_listener kSurfaceListener = {OnSurfaceEnter, OnSurfaceLeave};

// The size the compositor gave, at the scale of the surface's output: the EGL surface follows (made at the
// first configure), and the views are laid out again.
void Configured(Program& p, Surface& s, std::int32_t width, std::int32_t height) {
  s.width = width > 0 ? width : kWindowWidth;
  s.height = height > 0 ? height : kWindowHeight;
  const Output* on = s.output != nullptr ? s.output : s.shownOn;
  s.scale = on != nullptr ? on->scale : 1;
  wl_surface_set_buffer_scale(s.surface, s.scale);
  if (s.eglWindow == nullptr) {
    s.eglWindow = wl_egl_window_create(s.surface, s.width * s.scale, s.height * s.scale);
    s.eglSurface = eglCreatePlatformWindowSurface(p.egl, p.config, s.eglWindow, nullptr);
    if (s.eglSurface == EGL_NO_SURFACE) Fail("cannot make an EGL surface on a Wayland surface");
    eglMakeCurrent(p.egl, s.eglSurface, s.eglSurface, p.context);
    eglSwapInterval(p.egl, 0);  // the frame callbacks pace the drawing; a swap never waits for one
  } else {
    wl_egl_window_resize(s.eglWindow, s.width * s.scale, s.height * s.scale, 0, 0);
  }
  s.needsBlack = !s.rains;
  p.relayout = true;
}

// An output's description is complete: a new one gets its surface, and the surfaces on it follow its scale.
void OnOutputDone(void* data, wl_output*) {
  auto& output = *static_cast<Output*>(data);
  Program& p = *output.program;
  output.ready = true;
  p.relayout = true;
  for (const auto& s : p.surfaces) {
    const Output* on = s->output != nullptr ? s->output : s->shownOn;
    if (on == &output && s->scale != output.scale && s->eglWindow != nullptr) Configured(p, *s, s->width, s->height);
  }
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
  auto& s = *static_cast<Surface*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Configured(*s.program, s, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}
void OnLayerClosed(void* data, zwlr_layer_surface_v1*) {
  auto& s = *static_cast<Surface*>(data);
  s.closed = true;
  s.program->relayout = true;
}
constexpr zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

void OnXdgSurfaceConfigure(void* data, xdg_surface* xdgSurface, uint32_t serial) {
  auto& s = *static_cast<Surface*>(data);
  xdg_surface_ack_configure(xdgSurface, serial);
  Configured(*s.program, s, s.pendingWidth, s.pendingHeight);
}
constexpr xdg_surface_listener kXdgSurfaceListener = {OnXdgSurfaceConfigure};

void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto& s = *static_cast<Surface*>(data);
  s.pendingWidth = width;
  s.pendingHeight = height;
}
void OnToplevelClose(void* data, xdg_toplevel*) { static_cast<Surface*>(data)->program->quit = true; }
constexpr xdg_toplevel_listener kToplevelListener = {.configure = OnToplevelConfigure, .close = OnToplevelClose,
    .configure_bounds = nullptr, .wm_capabilities = nullptr};  // version 4 and 5 events: never sent to 2

void OnFrameDone(void* data, wl_callback* callback, uint32_t) {
  wl_callback_destroy(callback);
  static_cast<Surface*>(data)->frame = nullptr;
}
constexpr wl_callback_listener kFrameListener = {OnFrameDone};

// A surface for `output` (nullptr: where the compositor puts it): on the overlay layer for the screen saver,
// else (and where there is no layer-shell) an xdg-toplevel. It shows once the compositor has configured it.
std::unique_ptr<Surface> MakeSurface(Program& p, Output* output, bool rains) {
  auto s = std::make_unique<Surface>();
  s->program = &p;
  s->target = p.nextTarget++;
  s->output = output;
  s->rains = rains;
  s->surface = wl_compositor_create_surface(p.compositor);
  wl_surface_add_listener(s->surface, &kSurfaceListener, s.get());
  wl_output* on = output != nullptr ? output->output : nullptr;
  if (p.saver && p.layerShell != nullptr) {
    s->layer = zwlr_layer_shell_v1_get_layer_surface(p.layerShell, s->surface, on, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                                                     kLayerNamespace);
    zwlr_layer_surface_v1_add_listener(s->layer, &kLayerListener, s.get());
    zwlr_layer_surface_v1_set_anchor(s->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(s->layer, -1);  // over panels too
    zwlr_layer_surface_v1_set_keyboard_interactivity(s->layer, 1);  // exclusive: every key comes here
  } else {
    s->xdgSurface = xdg_wm_base_get_xdg_surface(p.wmBase, s->surface);
    xdg_surface_add_listener(s->xdgSurface, &kXdgSurfaceListener, s.get());
    s->toplevel = xdg_surface_get_toplevel(s->xdgSurface);
    xdg_toplevel_add_listener(s->toplevel, &kToplevelListener, s.get());
    xdg_toplevel_set_title(s->toplevel, kTitle);
    xdg_toplevel_set_app_id(s->toplevel, kAppId);
    if (p.saver || p.options.fullscreen) xdg_toplevel_set_fullscreen(s->toplevel, on);
  }
  wl_surface_commit(s->surface);  // no buffer: asks for the first configure
  return s;
}

// Everything a surface made, in the reverse order of its making; its views have left it.
void DestroySurface(Program& p, Surface& s) {
  if (s.frame != nullptr) wl_callback_destroy(s.frame);
  if (s.eglSurface != EGL_NO_SURFACE) {
    eglMakeCurrent(p.egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(p.egl, s.eglSurface);
  }
  if (s.eglWindow != nullptr) wl_egl_window_destroy(s.eglWindow);
  if (s.toplevel != nullptr) xdg_toplevel_destroy(s.toplevel);
  if (s.xdgSurface != nullptr) xdg_surface_destroy(s.xdgSurface);
  if (s.layer != nullptr) zwlr_layer_surface_v1_destroy(s.layer);
  wl_surface_destroy(s.surface);
}

// A surface whose output went or that the compositor closed goes, and so does a black one on the output
// the rain turned out to be on (primary).
void MarkGoingSurfaces(Program& p) {
  for (const auto& s : p.surfaces) {
    const bool outputGone = s->output != nullptr && s->output->gone;
    const bool underTheRain = !s->rains && std::any_of(p.surfaces.begin(), p.surfaces.end(), [&](const auto& o) {
      return o->rains && o->shownOn == s->output;
    });
    s->going = outputGone || s->closed || underTheRain;
  }
}

// The surfaces the outputs call for now and that are missing. A window: one. The screen saver: one per
// output (each, span), or (primary) one where the compositor puts it and a black one on every other output
// once that one is known.
void MakeWantedSurfaces(Program& p) {
  auto& list = p.surfaces;
  if (!p.saver) {
    if (list.empty()) list.push_back(MakeSurface(p, nullptr, true));
    return;
  }
  const bool primaryOnly = p.options.monitors == MonitorMode::kPrimary;
  if (primaryOnly && std::none_of(list.begin(), list.end(), [](const auto& s) { return s->rains; })) {
    list.push_back(MakeSurface(p, nullptr, true));
  }
  const Output* picked = nullptr;
  for (const auto& s : list) {
    if (s->rains && s->output == nullptr) picked = s->shownOn;
  }
  for (auto& output : p.outputs) {
    if (!output->ready || output.get() == picked || (primaryOnly && picked == nullptr)) continue;
    const bool covered = std::any_of(list.begin(), list.end(), [&](const auto& s) { return s->output == output.get(); });
    if (!covered) list.push_back(MakeSurface(p, output.get(), !primaryOnly));
  }
}

// One view for each raining surface that can draw, over the whole of it, in the surfaces' order.
void LayOutViews(Program& p) {
  std::vector<ViewPlace> places;
  for (const auto& s : p.surfaces) {
    if (s->rains && Drawable(*s) && places.size() < kMostScenes) {
      places.push_back(ViewPlace::Whole(s->target, s->width * s->scale, s->height * s->scale));
    }
  }
  p.views->Arrange(places, p.targets);
}

// What the program holds now, on stderr (ORLINDE_VERBOSE=1): each surface's size and scale (0x0: not yet
// configured).
void SayWhatIsShown(const Program& p) {
  std::fprintf(stderr, "orlinde: %zu output(s), %zu surface(s), %zu scene(s), %zu texture(s):", p.outputs.size(),
               p.surfaces.size(), p.views->size(), p.views->TextureCount());
  for (const auto& s : p.surfaces) std::fprintf(stderr, " %dx%d@%d%s", s->width, s->height, s->scale, s->rains ? "" : " black");
  std::fputc('\n', stderr);
}

// The surfaces follow the outputs: the views leave the surfaces that go before those are destroyed (with
// their texture), the outputs that went are released, and the surfaces now wanted are made.
void MatchSurfacesToOutputs(Program& p) {
  p.relayout = false;
  MarkGoingSurfaces(p);
  LayOutViews(p);
  std::erase_if(p.surfaces, [&](const auto& s) {
    if (s->going) DestroySurface(p, *s);
    return s->going;
  });
  std::erase_if(p.outputs, [](const auto& output) {
    if (output->gone) wl_output_release(output->output);
    return output->gone;
  });
  MakeWantedSurfaces(p);
  if (p.verbose) SayWhatIsShown(p);
}

void MakeSurfaceCurrent(Program& p, std::size_t target) {
  for (const auto& s : p.surfaces) {
    if (s->target == target && s->eglSurface != EGL_NO_SURFACE) {
      eglMakeCurrent(p.egl, s->eglSurface, s->eglSurface, p.context);
      return;
    }
  }
}

void SurfacePainter::PaintView(SceneView& view) {
  for (const auto& s : p_.surfaces) {
    if (s->target != view.place.target) continue;
    if (s->frame != nullptr || !Drawable(*s)) return;  // not called back yet: this output draws nothing now
    eglMakeCurrent(p_.egl, s->eglSurface, s->eglSurface, p_.context);
    DrawView(view);
    if (p_.options.showFps) {
      s->frameRate.Frame(p_.clock.Now());
      DrawOverlayText(FrameRateText(s->frameRate.Rate()), view.place.drawableWidth, view.place.drawableHeight);
    }
    s->frame = wl_surface_frame(s->surface);
    wl_callback_add_listener(s->frame, &kFrameListener, s.get());
    eglSwapBuffers(p_.egl, s->eglSurface);
    return;
  }
}

// Shows each black surface (primary: the other outputs) once, and again after each configure.
void PaintBlack(Program& p) {
  for (const auto& s : p.surfaces) {
    if (!s->needsBlack || !Drawable(*s)) continue;
    s->needsBlack = false;
    eglMakeCurrent(p.egl, s->eglSurface, s->eglSurface, p.context);
    glViewport(0, 0, s->width * s->scale, s->height * s->scale);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    eglSwapBuffers(p.egl, s->eglSurface);
  }
}

// Sends what is queued and sleeps until the compositor says something, a signal comes, or `wait` passed.
void WaitForEvents(Program& p, Microseconds wait) {
  while (wl_display_prepare_read(p.display) != 0) {
    if (wl_display_dispatch_pending(p.display) < 0) LostConnection(p);
  }
  if (wl_display_flush(p.display) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(p.display);
    LostConnection(p);
  }
  pollfd fds[2] = {{wl_display_get_fd(p.display), POLLIN, 0}, {WakeFd(), POLLIN, 0}};
  const int ready = poll(fds, 2, static_cast<int>((wait + 999) / 1000));
  if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
    if (wl_display_read_events(p.display) < 0) LostConnection(p);
  } else {
    wl_display_cancel_read(p.display);
  }
  DrainWake();
}

// --- Open, run, close ----------------------------------------------------------------------------------

// The connection, its globals (refusing a compositor that cannot show the program) and the keymaps.
void Connect(Program& p) {
  p.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (p.xkb == nullptr) Fail("cannot make an xkbcommon context");
  p.display = wl_display_connect(nullptr);
  if (p.display == nullptr) Fail("cannot connect to the Wayland compositor \"" + ConnectionName() + "\"");
  p.registry = wl_display_get_registry(p.display);
  wl_registry_add_listener(p.registry, &kRegistryListener, &p);
  // The globals, then what they say first (the outputs' descriptions, the seat's devices).
  if (wl_display_roundtrip(p.display) < 0 || wl_display_roundtrip(p.display) < 0) LostConnection(p);
  if (p.compositor == nullptr) Fail("the Wayland compositor offers no wl_compositor");
  if (p.layerShell == nullptr && p.wmBase == nullptr) Fail("the Wayland compositor offers neither layer-shell nor xdg-shell");
  if (!p.saver && p.wmBase == nullptr) Fail("the Wayland compositor offers no xdg-shell for a window");
  if (p.saver && p.layerShell == nullptr) {
    std::fputs("orlinde: the Wayland compositor offers no layer-shell: full-screen windows instead\n", stderr);
  }
}

// One desktop OpenGL context (no attributes: Mesa's compatibility profile, in which the fixed-function
// drawing runs) for every surface.
void OpenEgl(Program& p) {
  p.egl = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, p.display, nullptr);
  if (p.egl == EGL_NO_DISPLAY || !eglInitialize(p.egl, nullptr, nullptr)) Fail("no EGL for the Wayland compositor");
  if (!eglBindAPI(EGL_OPENGL_API)) Fail("EGL offers no desktop OpenGL");
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                               EGL_RED_SIZE,     8,              EGL_GREEN_SIZE,      8,
                               EGL_BLUE_SIZE,    8,              EGL_DEPTH_SIZE,      16,
                               EGL_NONE};
  EGLint count = 0;
  if (!eglChooseConfig(p.egl, attributes, &p.config, 1, &count) || count < 1) Fail("EGL offers no desktop OpenGL");
  p.context = eglCreateContext(p.egl, p.config, EGL_NO_CONTEXT, nullptr);
  if (p.context == EGL_NO_CONTEXT) Fail("cannot create an OpenGL context through EGL");
}

// The views (laid out as the surfaces are configured) and the frame loop at one frame per scene step.
void OpenScene(Program& p, BitmapPixels texture, bool paced) {
  FlushDenormalsToZero();
  p.views.emplace(p.clock, std::move(texture), p.options.rainInterval, ClockSeed(p.clock));
  p.frames.emplace(p.clock, ChooseFramePeriod(0, paced, p.options.delayMicroseconds), *p.views);
}

// Whether some surface with a view can take a frame now: the compositor has called back for its last one.
bool SomeSurfaceReady(const Program& p) {
  return std::any_of(p.surfaces.begin(), p.surfaces.end(),
                     [](const auto& s) { return s->rains && Drawable(*s) && s->frame == nullptr; });
}

// Events and the outputs' changes first; then the scene's turn when it is due and some surface can take a
// frame. The wait reads the compositor's events every time (with nothing due, only those that have come);
// while no surface can take a frame it lasts until one is called back, at most kLongestIdleWait.
void RunLoop(Program& p) {
  while (true) {
    if (wl_display_dispatch_pending(p.display) < 0) LostConnection(p);
    if (Ending(p)) return;
    if (p.relayout) MatchSurfacesToOutputs(p);
    PaintBlack(p);
    const bool ready = SomeSurfaceReady(p);
    const Microseconds wait = ready ? p.frames->TimeUntilDue() : kLongestIdleWait;
    WaitForEvents(p, wait);
    if (ready && wait == 0 && p.frames->Turn(p.keys, p.painter, p.ends)) return;
  }
}

void CloseScene(Program& p) {
  p.frames.reset();
  p.views->Clear(p.targets);
  p.views.reset();
}

void CloseEgl(Program& p) {
  for (auto it = p.surfaces.rbegin(); it != p.surfaces.rend(); ++it) DestroySurface(p, **it);
  p.surfaces.clear();
  eglMakeCurrent(p.egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(p.egl, p.context);
  eglTerminate(p.egl);
}

void Disconnect(Program& p) {
  if (p.pointer != nullptr) wl_pointer_release(p.pointer);
  if (p.keyboard != nullptr) wl_keyboard_release(p.keyboard);
  if (p.seat != nullptr) wl_seat_release(p.seat);
  for (auto& output : p.outputs) wl_output_release(output->output);
  p.outputs.clear();
  if (p.wmBase != nullptr) xdg_wm_base_destroy(p.wmBase);
  if (p.layerShell != nullptr) zwlr_layer_shell_v1_destroy(p.layerShell);
  wl_compositor_destroy(p.compositor);
  wl_registry_destroy(p.registry);
  wl_display_flush(p.display);
  wl_display_disconnect(p.display);
  xkb_state_unref(p.keyState);
  xkb_keymap_unref(p.keymap);
  xkb_context_unref(p.xkb);
}

int Run(const ProgramOptions& options) {
  BitmapPixels texture = ReadTexture(options.texture);
  if (texture.pixels.empty()) Fail("the texture holds no pixels");
  Program p(options);
  p.verbose = SwitchedOn("ORLINDE_VERBOSE");

  Connect(p);
  OpenEgl(p);
  OpenScene(p, std::move(texture), !PacingSwitchedOff());
  RunLoop(p);
  CloseScene(p);
  CloseEgl(p);
  Disconnect(p);
  return 0;
}

}  // namespace

int RunWayland(const ProgramOptions& options) {
  CatchEndingSignals();
  return Run(options);
}

}  // namespace orlinde
