// The web page's shell: the rain scene in a canvas, through WebGL 1 and the scene's shader path.
//
// What it does: reads the page's settings from its address (web/PageSettings), draws one scene in the canvas
// at the device's pixel ratio and follows the canvas's size, lets requestAnimationFrame drive the scene's
// frame loop, maps the desktop keys (arrows turn and tilt, Space drops a drop, + and − change the rain rate)
// and a click or tap (a drop), and stops drawing while the page is hidden.
// What it does not do: full screen, the line for a browser without WebGL and the settings' address are the
// page's own script (web/index.html); there is no end (a page is closed by its browser), no picture but the
// built-in one, and no frame-rate corner drawn with GL (the rate is a line of the page).
// The frame-rate corner: requestAnimationFrame calls at the display's rate; the frame loop draws at most one
// frame a scene step, with a frame period a little under a step so that a call that comes a hair early
// (the browser's timestamps jitter) still draws. A display faster than the step rate skips calls instead
// (120 Hz draws every second one); between 60 and 68 Hz a frame now and then runs no step.
// Swap policy: the browser presents what a call drew when it returns; a call that draws nothing leaves the
// picture as it is.
#include <emscripten.h>

#include <cmath>
#include <cstdint>
#include <emscripten/html5.h>
#include <string>
#include <utility>

#include "linux/BuiltInTexture.h"
#include "linux/FrameRate.h"
#include "common/BitmapReader.h"
#include "scene/FrameLoop.h"
#include "scene/SceneGles.h"
#include "scene/SceneViews.h"
#include "scene/SteadyClock.h"
#include "web/PageSettings.h"

namespace orlinde {
namespace {

constexpr const char* kCanvas = "#canvas";
// How early a requestAnimationFrame call may come and still draw the frame that is due.
constexpr Microseconds kCallJitter = 2'000;

// The page's script shows `text` in its line over the canvas (a refused setting, a browser without WebGL).
EM_JS(void, ShowLine, (const char* text), { orlindeShowLine(UTF8ToString(text)); });
// The frame-rate line (?fps).
EM_JS(void, ShowRate, (const char* text), { orlindeShowRate(UTF8ToString(text)); });

struct KeyBinding {
  const char* key;  // KeyboardEvent.key
  SceneKey sceneKey;
};
constexpr KeyBinding kKeys[] = {
    {"ArrowLeft", SceneKey::kLeft}, {"ArrowRight", SceneKey::kRight}, {"ArrowUp", SceneKey::kUp},
    {"ArrowDown", SceneKey::kDown}, {" ", SceneKey::kDrop},           {"+", SceneKey::kRainFaster},
    {"-", SceneKey::kRainSlower},
};

const KeyBinding* FindKey(const char* key) {
  for (const KeyBinding& binding : kKeys) {
    if (std::string(binding.key) == key) return &binding;
  }
  return nullptr;
}

// The one program state: it lives as long as the page. One context, always current: the views' one target.
struct Page final : ViewPainter, EndCheck {
  Page(const PageSettings& settings, BitmapPixels picture)
      : settings(settings),
        views(clock, std::move(picture), settings.rainInterval, ClockSeed(clock)),
        loop(clock, kStepPeriod - kCallJitter, views) {}

  void PaintView(SceneView& view) override { surface.DrawView(view); }
  // Asked after every frame: the frame-rate line counts it. A page never ends itself: its browser closes it.
  bool ShouldEnd(const TurnOutcome& turn) override {
    if (turn.drew && settings.showFps) {
      const double shown = rate.Rate();
      rate.Frame(clock.Now());
      if (rate.Rate() != shown) ShowRate(FrameRateText(rate.Rate()).c_str());
    }
    return false;
  }

  PageSettings settings;
  SteadyClock clock;
  SurfaceProgram surface;
  GlesViewTargets targets;
  SceneViews views;
  FrameLoop loop;
  SceneKeys keys;
  FrameRateCounter rate;
  int width = 0;
  int height = 0;
};

// The canvas's drawing buffer at its CSS size times the device's pixel ratio; the view laid out again and
// drawn at once when that changed (a new size clears the buffer).
void FollowCanvasSize(Page& page) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
  const double ratio = emscripten_get_device_pixel_ratio();
  const int width = static_cast<int>(std::lround(cssWidth * ratio));
  const int height = static_cast<int>(std::lround(cssHeight * ratio));
  if (width == page.width && height == page.height) return;
  page.width = width;
  page.height = height;
  emscripten_set_canvas_element_size(kCanvas, width, height);
  const ViewPlace place = ViewPlace::Whole(0, width, height);
  page.views.Arrange(std::span(&place, 1), page.targets);
  page.loop.Repaint(page);
}

EM_BOOL Frame(double, void* data) {
  Page& page = *static_cast<Page*>(data);
  FollowCanvasSize(page);
  page.loop.Turn(page.keys, page, page);
  return EM_TRUE;
}

EM_BOOL KeyChange(int type, const EmscriptenKeyboardEvent* event, void* data) {
  const KeyBinding* binding = FindKey(event->key);
  if (binding == nullptr) return EM_FALSE;
  // A held key repeats; the scene wants its press and its release.
  if (!event->repeat) static_cast<Page*>(data)->keys[binding->sceneKey] = type == EMSCRIPTEN_EVENT_KEYDOWN;
  return EM_TRUE;  // no scrolling on arrows and Space
}

EM_BOOL Click(int, const EmscriptenMouseEvent*, void* data) {
  static_cast<Page*>(data)->keys[SceneKey::kDrop] = true;
  return EM_TRUE;
}

// A key released while the page had no focus never says so.
EM_BOOL Blur(int, const EmscriptenFocusEvent*, void* data) {
  static_cast<Page*>(data)->keys.ReleaseAll();
  return EM_FALSE;
}

// A hidden page gets no animation frames; on its return the loop starts afresh, with no catch-up steps and no
// drops for the time it was away.
EM_BOOL VisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void* data) {
  Page& page = *static_cast<Page*>(data);
  page.loop.SetDrawing(!event->hidden);
  if (event->hidden) page.keys.ReleaseAll();
  return EM_FALSE;
}

bool OpenContext() {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.majorVersion = 1;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(kCanvas, &attributes);
  return context > 0 && emscripten_webgl_make_context_current(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void ListenToThePage(Page& page) {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, KeyChange);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, KeyChange);
  emscripten_set_click_callback(kCanvas, &page, EM_FALSE, Click);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, Blur);
  emscripten_set_visibilitychange_callback(&page, EM_FALSE, VisibilityChange);
}

}  // namespace
}  // namespace orlinde

// argv[1]: the query of the page's address.
int main(int argc, char** argv) {
  using namespace orlinde;
  const ParsedPageSettings parsed = ParsePageSettings(argc > 1 ? argv[1] : "");
  if (!parsed.settings) {
    ShowLine(("Not started: " + parsed.error + ".").c_str());
    return 0;  // the line says why; a page has no exit status
  }
  if (!OpenContext()) {
    ShowLine("This browser does not draw with WebGL here, and the rain needs it.");
    return 0;  // the line says why; a page has no exit status
  }
  MemorySource source(kBuiltInCaustics, kBuiltInCausticsSize);
  BitmapPixels picture = ReadBitmapFile(source);
  if (picture.pixels.empty()) {
    ShowLine("The built-in picture could not be read.");
    return 0;
  }
  FlushDenormalsToZero();
  static Page page(*parsed.settings, std::move(picture));  // lives as long as the page
  if (!page.surface.Init()) {
    ShowLine(("The rain could not be set up: " + page.surface.Error()).c_str());
    return 0;
  }
  ListenToThePage(page);
  emscripten_request_animation_frame_loop(Frame, &page);
  return 0;
}
