// The views a program draws: made by one rule, set up once per target, and released to the last texture
// when they go, through targets that record what the GL side was asked to do.
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "scene/SceneViews.h"
#include "tests/unit/scene/FakeClock.h"

namespace orlinde {
namespace {

// Records every call, as "current 1", "set up 1 -> 7", "release 7"; hands out texture names 7, 8, ...
class RecordingTargets final : public ViewTargets {
 public:
  void MakeCurrent(std::size_t target) override {
    current = target;
    calls.push_back("current " + std::to_string(target));
  }
  std::uint32_t SetUpTarget(const BitmapPixels& pixels) override {
    EXPECT_FALSE(pixels.pixels.empty());
    const std::uint32_t name = next++;
    calls.push_back("set up " + std::to_string(current) + " -> " + std::to_string(name));
    alive.push_back(name);
    return name;
  }
  void ReleaseTexture(std::uint32_t texture) override {
    calls.push_back("release " + std::to_string(texture) + " on " + std::to_string(current));
    std::erase(alive, texture);
  }
  std::size_t current = 99;
  std::uint32_t next = 7;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> alive;
};

BitmapPixels Picture() {
  BitmapPixels pixels;
  pixels.width = pixels.height = 4;
  pixels.pixels.assign(4 * 4 * 3, 0x40);
  return pixels;
}

ViewPlace Part(std::size_t target, std::int32_t x) {
  return {target, {x, 0, 100, 100}, 300, 100};
}

TEST(SceneViewsTest, NewViewsTakeTheRainIntervalAndOneSeedEachInTheOrderMade) {
  FakeClock clock;
  RecordingTargets targets;
  SceneViews views(clock, Picture(), 200, 40);
  const std::vector<ViewPlace> places{Part(0, 0), Part(0, 100), Part(0, 200)};
  views.Arrange(places, targets);
  ASSERT_EQ(3u, views.size());
  for (std::uint32_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    std::mt19937 expected(40 + k);
    EXPECT_EQ(expected(), views[k].scene.Random());
    EXPECT_EQ(200, views[k].scene.RainInterval);
    EXPECT_EQ(200'000, views[k].rain.Period());
    EXPECT_EQ(places[k], views[k].place);
  }
  // A view made later continues the count: no two views of a run share a seed.
  views.Arrange(std::vector<ViewPlace>{places[0]}, targets);
  views.Arrange(places, targets);
  std::mt19937 fourth(43);
  EXPECT_EQ(fourth(), views[1].scene.Random());
}

TEST(SceneViewsTest, ATargetIsSetUpOnceAndItsTextureDeletedWithItsLastViewWhileItIsCurrent) {
  FakeClock clock;
  RecordingTargets targets;
  SceneViews views(clock, Picture(), 1000, 1);
  views.Arrange(std::vector<ViewPlace>{Part(0, 0), Part(0, 100), Part(1, 0)}, targets);
  EXPECT_EQ((std::vector<std::string>{"current 0", "set up 0 -> 7", "current 1", "set up 1 -> 8"}), targets.calls);
  EXPECT_EQ(7u, views[1].texture) << "views of one target share its texture";
  EXPECT_EQ(2u, views.TextureCount());

  targets.calls.clear();
  views.Arrange(std::vector<ViewPlace>{Part(0, 0), Part(0, 100)}, targets);
  EXPECT_EQ((std::vector<std::string>{"current 1", "release 8 on 1"}), targets.calls);
  targets.calls.clear();
  views.Arrange(std::vector<ViewPlace>{Part(0, 0)}, targets);
  EXPECT_TRUE(targets.calls.empty()) << "target 0 still has a view";

  targets.calls.clear();
  views.Clear(targets);
  EXPECT_EQ((std::vector<std::string>{"current 0", "release 7 on 0"}), targets.calls);
  EXPECT_TRUE(targets.alive.empty());
  EXPECT_EQ(0u, views.TextureCount());
}

// Monitors that come and go many times leave no texture behind; the views that stay keep their rain and
// follow their place, to another target too.
TEST(SceneViewsTest, LayoutsThatComeAndGoLeaveNothingBehindAndViewsThatStayKeepTheirRain) {
  FakeClock clock;
  RecordingTargets targets;
  SceneViews views(clock, Picture(), 1000, 1);
  views.Arrange(std::vector<ViewPlace>{Part(0, 0)}, targets);
  AddDropAt(views[0].scene, 10, 10);
  for (int change = 0; change < 50; ++change) {
    views.Arrange(std::vector<ViewPlace>{Part(0, change % 3), Part(1, 0), Part(2, 0)}, targets);
    views.Arrange(std::vector<ViewPlace>{Part(0, 0)}, targets);
  }
  EXPECT_EQ(1u, targets.alive.size());
  EXPECT_EQ(1u, views.TextureCount());
  EXPECT_EQ(kDropImpulse, views[0].scene.VelocityGrid[10][10]) << "the first view was never made again";

  views.Arrange(std::vector<ViewPlace>{Part(3, 0)}, targets);
  EXPECT_EQ(kDropImpulse, views[0].scene.VelocityGrid[10][10]);
  EXPECT_EQ(3u, views[0].place.target);
  EXPECT_EQ(1u, targets.alive.size()) << "the old target's texture went with its view";
  EXPECT_EQ(views[0].texture, targets.alive.front());
}

}  // namespace
}  // namespace orlinde
