#include "scene/SceneViews.h"

#include <algorithm>
#include <utility>

namespace orlinde {

SceneViews::SceneViews(MonotonicClock& clock, BitmapPixels pixels, std::int32_t rainInterval, std::uint32_t seed)
    : clock_(clock), pixels_(std::move(pixels)), rainInterval_(rainInterval), nextSeed_(seed) {}

void SceneViews::Arrange(std::span<const ViewPlace> places, ViewTargets& targets) {
  while (views_.size() > places.size()) {
    Release(views_.back()->place.target, targets);
    views_.pop_back();
  }
  for (std::size_t i = 0; i < views_.size(); ++i) {
    SceneView& view = *views_[i];
    if (view.place.target != places[i].target) {
      const std::size_t old = view.place.target;
      view.texture = Acquire(places[i].target, targets);
      Release(old, targets);
    }
    view.place = places[i];
  }
  while (views_.size() < places.size()) {
    const ViewPlace& place = places[views_.size()];
    auto view = std::make_unique<SceneView>(clock_);
    view->place = place;
    view->texture = Acquire(place.target, targets);
    ResetSceneState(view->scene, nextSeed_++);
    view->scene.RainInterval = rainInterval_;
    view->rain.SetRainTimer(rainInterval_);
    views_.push_back(std::move(view));
  }
}

std::uint32_t SceneViews::Acquire(std::size_t target, ViewTargets& targets) {
  const auto found =
      std::find_if(textures_.begin(), textures_.end(), [target](const TargetTexture& t) { return t.target == target; });
  if (found != textures_.end()) {
    ++found->users;
    return found->texture;
  }
  targets.MakeCurrent(target);
  const std::uint32_t texture = targets.SetUpTarget(pixels_);
  textures_.push_back({target, texture, 1});
  return texture;
}

void SceneViews::Release(std::size_t target, ViewTargets& targets) {
  const auto found =
      std::find_if(textures_.begin(), textures_.end(), [target](const TargetTexture& t) { return t.target == target; });
  if (found == textures_.end() || --found->users > 0) return;
  targets.MakeCurrent(target);
  targets.ReleaseTexture(found->texture);
  textures_.erase(found);
}

}  // namespace orlinde
