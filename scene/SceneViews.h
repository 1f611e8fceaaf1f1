// The scenes a program draws, one per view: a monitor, a part of a window, a surface of its own. This
// object makes each view (its scene seeded by one rule, its rain at the program's interval, its place),
// sets up the GL side of each target once (the state and the texture the views of that target share), and
// releases what a view made when the view goes: a target's texture is deleted with its last view. A shell
// says where the views go (Arrange) and how a target's context is made current (ViewTargets); it never
// makes a view by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "scene/DropSchedule.h"
#include "scene/FramePacer.h"
#include "scene/PixelRect.h"
#include "scene/RainScene.h"
#include "scene/TexturePixels.h"

namespace orlinde {

// Where a view is drawn: which of the shell's targets (a GL context with its drawable; the shell numbers
// them), the part of that drawable (pixels from its top-left corner), and the drawable's size. Views of one target
// share its texture.
struct ViewPlace {
  std::size_t target = 0;
  PixelRect area;
  std::int32_t drawableWidth = 0;
  std::int32_t drawableHeight = 0;
  bool operator==(const ViewPlace&) const = default;

  // The place that is a whole drawable of this size.
  static ViewPlace Whole(std::size_t target, std::int32_t width, std::int32_t height) {
    return {target, {0, 0, width, height}, width, height};
  }
  bool IsWhole() const { return area == PixelRect{0, 0, drawableWidth, drawableHeight}; }
  // The area as GL's viewport and scissor count it: rows from the bottom of the drawable.
  PixelRect FromBottom() const { return {area.x, drawableHeight - area.y - area.height, area.width, area.height}; }
};

// One scene with its own rain, drawn at its place with its target's texture.
struct SceneView {
  explicit SceneView(MonotonicClock& clock) : rain(clock) {}
  RainScene scene;
  DropSchedule rain;
  ViewPlace place;
  std::uint32_t texture = 0;  // the target's texture object
};

// What a shell's targets do for the views. MakeCurrent is the shell's; the GL work is the scene's
// (GlViewTargets in SceneGl.h implements it, tests count it).
class ViewTargets {
 public:
  virtual ~ViewTargets() = default;
  // Makes the target's context current on this thread.
  virtual void MakeCurrent(std::size_t target) = 0;
  // On the current context: the scene's GL state and its texture made from `pixels`; the texture's name.
  virtual std::uint32_t SetUpTarget(const BitmapPixels& pixels) = 0;
  // On the current context: deletes a texture SetUpTarget made.
  virtual void ReleaseTexture(std::uint32_t texture) = 0;
};

class SceneViews {
 public:
  // `pixels` must hold a picture (the shells refuse an empty one first). Every new view's scene starts with
  // `rainInterval` and a seed: `seed` for the first view made, one more for each view after it.
  SceneViews(MonotonicClock& clock, BitmapPixels pixels, std::int32_t rainInterval, std::uint32_t seed);
  SceneViews(const SceneViews&) = delete;
  SceneViews& operator=(const SceneViews&) = delete;

  // View i goes to place i. Views past the end of `places` go, the last first; new places get a new view;
  // views that stay keep their scene and rain and follow their place (to another target too).
  void Arrange(std::span<const ViewPlace> places, ViewTargets& targets);
  // Every view goes: called before the shell destroys its contexts.
  void Clear(ViewTargets& targets) { Arrange({}, targets); }

  std::size_t size() const { return views_.size(); }
  bool empty() const { return views_.empty(); }
  SceneView& operator[](std::size_t index) { return *views_[index]; }
  // Textures alive now, one per target with views: what a test watches for leaks.
  std::size_t TextureCount() const { return textures_.size(); }

 private:
  struct TargetTexture {
    std::size_t target;
    std::uint32_t texture;
    std::size_t users;
  };
  std::uint32_t Acquire(std::size_t target, ViewTargets& targets);
  void Release(std::size_t target, ViewTargets& targets);

  MonotonicClock& clock_;
  BitmapPixels pixels_;
  std::int32_t rainInterval_;
  std::uint32_t nextSeed_;
  std::vector<std::unique_ptr<SceneView>> views_;
  std::vector<TargetTexture> textures_;
};

}  // namespace orlinde
