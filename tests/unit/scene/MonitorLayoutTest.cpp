#include "scene/MonitorLayout.h"

#include <gtest/gtest.h>

namespace orlinde {
namespace {

// A landscape primary at the origin and a portrait monitor to its left, a little higher, as a desk with a
// turned side screen has it: the virtual screen has negative coordinates.
const PixelRect kPrimary{0, 0, 1024, 768};
const PixelRect kPortrait{-600, -100, 600, 800};

TEST(MonitorLayoutTest, EachGivesEveryMonitorItsOwnSceneWithThePrimaryFirst) {
  const MonitorSet set = CleanMonitors({kPortrait, kPrimary}, 1);
  const std::vector<SceneArea> areas = LayOutScenes(MonitorMode::kEach, set);
  ASSERT_EQ(2u, areas.size());
  EXPECT_EQ(kPrimary, areas[0].area);
  EXPECT_TRUE(areas[0].primary);
  EXPECT_EQ(kPortrait, areas[1].area);
  EXPECT_FALSE(areas[1].primary);
}

TEST(MonitorLayoutTest, PrimaryAndSpanGiveOneScene) {
  const MonitorSet set = CleanMonitors({kPortrait, kPrimary}, 1);
  const std::vector<SceneArea> primary = LayOutScenes(MonitorMode::kPrimary, set);
  ASSERT_EQ(1u, primary.size());
  EXPECT_EQ(kPrimary, primary[0].area);
  const std::vector<SceneArea> span = LayOutScenes(MonitorMode::kSpan, set);
  ASSERT_EQ(1u, span.size());
  EXPECT_EQ((PixelRect{-600, -100, 1624, 868}), span[0].area);
  EXPECT_TRUE(span[0].primary);
}

TEST(MonitorLayoutTest, CleaningDropsEmptyAndMirroredMonitorsAndKeepsThePrimary) {
  // A mirrored pair is listed twice; a disconnected output reports a zero size.
  const MonitorSet set = CleanMonitors({kPortrait, {5, 5, 0, 0}, kPortrait, kPrimary}, 3);
  ASSERT_EQ(2u, set.monitors.size());
  EXPECT_EQ(kPrimary, set.monitors[set.primary]);
  // A primary index the system got wrong falls back to the first monitor instead of reading past the list.
  EXPECT_EQ(0u, CleanMonitors({kPrimary, kPortrait}, 7).primary);
  EXPECT_TRUE(LayOutScenes(MonitorMode::kEach, CleanMonitors({}, 0)).empty());
  EXPECT_TRUE(LayOutScenes(MonitorMode::kSpan, CleanMonitors({{0, 0, 0, 10}}, 0)).empty());
}

TEST(MonitorLayoutTest, AWindowOverSeveralMonitorsGetsEachSceneInItsOwnPixels) {
  // A full-screen window over the two monitors' bounding box: the scenes move into window coordinates.
  const MonitorSet set = CleanMonitors({kPrimary, kPortrait}, 0);
  const PixelRect window{-600, -100, 1624, 868};
  const std::vector<SceneArea> areas = AreasInWindow(LayOutScenes(MonitorMode::kEach, set), window);
  ASSERT_EQ(2u, areas.size());
  EXPECT_EQ((PixelRect{600, 100, 1024, 768}), areas[0].area);
  EXPECT_EQ((PixelRect{0, 0, 600, 800}), areas[1].area);
  // GL counts rows from the bottom: the primary's lower edge is the window's lower edge.
  EXPECT_EQ((PixelRect{600, 0, 1024, 768}), GlViewport(areas[0].area, window.height));
  EXPECT_EQ((PixelRect{0, 68, 600, 800}), GlViewport(areas[1].area, window.height));
}

TEST(MonitorLayoutTest, AWindowOnOneMonitorKeepsOnlyWhatFallsInsideIt) {
  const MonitorSet set = CleanMonitors({kPrimary, kPortrait}, 0);
  // A window handed over for the portrait monitor alone: in `primary` nothing of the primary's scene is
  // there, so it stays black; in `each` it holds the portrait's scene over all of it.
  EXPECT_TRUE(AreasInWindow(LayOutScenes(MonitorMode::kPrimary, set), kPortrait).empty());
  const std::vector<SceneArea> each = AreasInWindow(LayOutScenes(MonitorMode::kEach, set), kPortrait);
  ASSERT_EQ(1u, each.size());
  EXPECT_EQ((PixelRect{0, 0, 600, 800}), each[0].area);
  // A window smaller than the monitor it is on cuts the scene to its own size.
  const std::vector<SceneArea> cut = AreasInWindow(LayOutScenes(MonitorMode::kPrimary, set), {100, 100, 2000, 300});
  ASSERT_EQ(1u, cut.size());
  EXPECT_EQ((PixelRect{0, 0, 924, 300}), cut[0].area);
}

TEST(MonitorLayoutTest, RectangleArithmeticHoldsAtTheEndsOfTheRange) {
  EXPECT_TRUE(Intersect({0, 0, 10, 10}, {10, 0, 10, 10}).Empty());  // touching edges share no pixel
  EXPECT_EQ((PixelRect{5, 5, 5, 5}), Intersect({0, 0, 10, 10}, {5, 5, 10, 10}));
  const PixelRect far{INT32_MAX - 10, 0, 10, 10};
  EXPECT_EQ(far, Intersect(far, {INT32_MAX - 20, 0, 20, 10}));
  EXPECT_EQ((PixelRect{INT32_MIN, 0, INT32_MAX, 10}), BoundingBox({{INT32_MIN, 0, 10, 10}, {-1, 0, 0, 10}, {-10, 0, 9, 10}}));
}

}  // namespace
}  // namespace orlinde
