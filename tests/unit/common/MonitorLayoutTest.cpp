// Where the rain goes and where black, on desks of several monitors.
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "common/MonitorLayout.h"

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
  EXPECT_EQ((PixelRect{INT32_MIN, 0, INT32_MAX, 10}),
            BoundingBox({{INT32_MIN, 0, 10, 10}, {-1, 0, 0, 10}, {-10, 0, 9, 10}}));
}

// Monitors are given by their edges, as the system reports them.
PixelRect Edges(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return {left, top, right - left, bottom - top};
}

bool Holds(const PixelRect& r, std::int32_t x, std::int32_t y) {
  return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

// The black areas of `primary` mode for monitors listed as given (cleaned, as every shell reads them),
// checked pixel by pixel over the monitors' bounding box and a margin: a pixel of the primary is never
// black; any other pixel is black as many times as distinct monitors show it (once, unless two other
// monitors overlap), and a pixel on no monitor is not black.
std::vector<PixelRect> ExpectBlackExactly(const std::vector<PixelRect>& listed, std::size_t primaryIndex) {
  const MonitorSet set = CleanMonitors(listed, primaryIndex);
  const std::vector<PixelRect> black = BlackAreas(MonitorMode::kPrimary, set);
  const PixelRect primary = set.monitors[set.primary];
  const PixelRect box = BoundingBox(set.monitors);
  for (const PixelRect& b : black) EXPECT_FALSE(b.Empty());
  int faults = 0;
  for (std::int32_t y = box.y - 2; y < box.y + box.height + 2 && faults < 5; ++y) {
    for (std::int32_t x = box.x - 2; x < box.x + box.width + 2 && faults < 5; ++x) {
      const auto on = [&](const PixelRect& r) { return Holds(r, x, y); };
      const auto covered = std::count_if(black.begin(), black.end(), on);
      const auto expected = Holds(primary, x, y) ? 0 : std::count_if(set.monitors.begin(), set.monitors.end(), on);
      if (covered != expected) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") black " << covered << " times, expected " << expected;
        ++faults;
      }
    }
  }
  return black;
}

TEST(BlackAreasTest, SideBySideMonitorsAreBlackWholeInOnePieceEach) {
  const PixelRect primary = Edges(0, 0, 1024, 768);
  const PixelRect right = Edges(1024, 0, 1824, 600);
  const PixelRect left = Edges(-1280, -200, 0, 824);
  const PixelRect above = Edges(0, -600, 800, 0);
  EXPECT_TRUE(ExpectBlackExactly({primary}, 0).empty()) << "one monitor: nothing black";
  EXPECT_EQ((std::vector<PixelRect>{right}), ExpectBlackExactly({primary, right}, 0));
  // The primary need not come first; the black areas follow the monitors' order.
  EXPECT_EQ((std::vector<PixelRect>{left, right, above}), ExpectBlackExactly({left, primary, right, above}, 1));
}

TEST(BlackAreasTest, MirroredAndOverlappingMonitorsNeverDarkenThePrimary) {
  const PixelRect primary = Edges(0, 0, 1024, 768);
  // A clone of the primary at the same size (listed once per connector), and one at a larger size: only
  // the larger one's margin.
  EXPECT_TRUE(ExpectBlackExactly({primary, primary}, 1).empty());
  EXPECT_EQ((std::vector<PixelRect>{Edges(0, 768, 1280, 1024), Edges(1024, 0, 1280, 768)}),
            ExpectBlackExactly({primary, Edges(0, 0, 1280, 1024)}, 0));
  // A smaller clone lies wholly inside the primary.
  EXPECT_TRUE(ExpectBlackExactly({primary, Edges(0, 0, 800, 600)}, 0).empty());
  // A monitor that straddles the primary's corner, one that surrounds it, one across its middle; two
  // others that overlap each other, and a monitor listed twice among empty rectangles.
  ExpectBlackExactly({primary, Edges(900, 700, 1700, 1300)}, 0);
  EXPECT_EQ(4u, ExpectBlackExactly({Edges(-100, -100, 1200, 900), primary}, 1).size());
  ExpectBlackExactly({primary, Edges(-300, 200, 1400, 400)}, 0);
  const PixelRect second = Edges(1024, 0, 1664, 480);
  const PixelRect third = Edges(1400, 200, 2000, 700);
  EXPECT_EQ((std::vector<PixelRect>{second, third}), ExpectBlackExactly({primary, second, third}, 0));
  EXPECT_EQ((std::vector<PixelRect>{second}), ExpectBlackExactly({primary, second, Edges(5, 5, 5, 90), second}, 0));
}

TEST(BlackAreasTest, OnlyThePrimaryModeLeavesMonitorsBlackAndItsSceneIsThePrimarysAlone) {
  const PixelRect primary = Edges(0, 0, 1024, 768);
  const PixelRect second = Edges(1024, 0, 1824, 600);
  const PixelRect portrait = Edges(-768, 0, 0, 1024);
  const MonitorSet set = CleanMonitors({portrait, primary, second}, 1);
  EXPECT_EQ((std::vector<PixelRect>{portrait, second}), BlackAreas(MonitorMode::kPrimary, set));
  ASSERT_EQ(1u, LayOutScenes(MonitorMode::kPrimary, set).size());
  EXPECT_EQ(primary, LayOutScenes(MonitorMode::kPrimary, set)[0].area);
  // Every monitor has rain in the other modes: nothing black, whatever the monitors.
  for (const MonitorMode mode : {MonitorMode::kEach, MonitorMode::kSpan}) {
    EXPECT_TRUE(BlackAreas(mode, set).empty());
    EXPECT_TRUE(BlackAreas(mode, CleanMonitors({primary}, 0)).empty());
  }
  EXPECT_TRUE(BlackAreas(MonitorMode::kPrimary, CleanMonitors({}, 0)).empty()) << "no monitor at all";
}

}  // namespace
}  // namespace orlinde
