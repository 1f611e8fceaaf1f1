// Where a run lays its black covers: checked point by point against the monitors, so that every pixel off
// the primary monitor is covered exactly once per monitor showing it, and no pixel of the primary is.
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "host/app/MonitorCover.h"

namespace orlinde {
namespace {

bool Contains(const ScreenRect& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// Checks every pixel of the monitors' bounding box (and a margin around it): a pixel of the primary is
// never covered; any other pixel is covered as many times as distinct monitors show it (once, unless two
// secondary monitors overlap), and a pixel on no monitor is not covered.
void ExpectCoversExactly(const std::vector<ScreenRect>& monitors, const ScreenRect& primary) {
  const std::vector<ScreenRect> covers = CoverRects(monitors, primary);
  std::vector<ScreenRect> distinct;
  for (const ScreenRect& m : monitors) {
    if (!m.Empty() && !(m == primary) && std::find(distinct.begin(), distinct.end(), m) == distinct.end()) {
      distinct.push_back(m);
    }
  }
  ScreenRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const ScreenRect& m : monitors) {
    box = {std::min(box.left, m.left), std::min(box.top, m.top), std::max(box.right, m.right),
           std::max(box.bottom, m.bottom)};
  }
  for (const ScreenRect& c : covers) EXPECT_FALSE(c.Empty());
  int faults = 0;
  for (int y = box.top - 2; y < box.bottom + 2 && faults < 5; ++y) {
    for (int x = box.left - 2; x < box.right + 2 && faults < 5; ++x) {
      const auto covered =
          std::count_if(covers.begin(), covers.end(), [&](const ScreenRect& c) { return Contains(c, x, y); });
      const auto expected =
          Contains(primary, x, y)
              ? 0
              : std::count_if(distinct.begin(), distinct.end(), [&](const ScreenRect& m) { return Contains(m, x, y); });
      if (covered != expected) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") covered " << covered << " times, expected " << expected;
        ++faults;
      }
    }
  }
}

TEST(MonitorCover, SideBySideMonitorsAreCoveredWholeInOnePieceEach) {
  const ScreenRect primary{0, 0, 1024, 768};
  const ScreenRect right{1024, 0, 1824, 600};
  const ScreenRect left{-1280, -200, 0, 824};
  const ScreenRect above{0, -600, 800, 0};

  EXPECT_TRUE(CoverRects({primary}, primary).empty()) << "one monitor: nothing to cover";
  EXPECT_EQ((std::vector<ScreenRect>{right}), CoverRects({primary, right}, primary));
  // The primary need not come first; the covers follow the monitors' order.
  EXPECT_EQ((std::vector<ScreenRect>{left, right, above}), CoverRects({left, primary, right, above}, primary));
  ExpectCoversExactly({left, primary, right, above}, primary);
}

TEST(MonitorCover, MirroredAndOverlappingMonitorsNeverCoverThePrimary) {
  const ScreenRect primary{0, 0, 1024, 768};
  // A clone of the primary at the same size, and one at a larger size: only the larger one's margin.
  EXPECT_TRUE(CoverRects({primary, primary}, primary).empty());
  const ScreenRect largerClone{0, 0, 1280, 1024};
  EXPECT_EQ((std::vector<ScreenRect>{{0, 768, 1280, 1024}, {1024, 0, 1280, 768}}),
            CoverRects({primary, largerClone}, primary));
  ExpectCoversExactly({primary, largerClone}, primary);
  // A smaller clone lies wholly inside the primary.
  EXPECT_TRUE(CoverRects({primary, {0, 0, 800, 600}}, primary).empty());
  // A monitor that straddles the primary's corner, one that surrounds it, and one across its middle.
  ExpectCoversExactly({primary, {900, 700, 1700, 1300}}, primary);
  ExpectCoversExactly({{-100, -100, 1200, 900}, primary}, primary);
  EXPECT_EQ(4u, CoverRects({{-100, -100, 1200, 900}, primary}, primary).size());
  ExpectCoversExactly({primary, {-300, 200, 1400, 400}}, primary);
}

TEST(MonitorCover, RepeatedEmptyAndOverlappingSecondaryMonitors) {
  const ScreenRect primary{0, 0, 640, 480};
  const ScreenRect second{640, 0, 1280, 480};
  // A monitor reported twice gets one cover; empty rectangles none.
  EXPECT_EQ((std::vector<ScreenRect>{second}), CoverRects({primary, second, {5, 5, 5, 90}, second}, primary));
  // Two secondary monitors showing a shared part each get their own cover.
  const ScreenRect third{1000, 200, 1600, 700};
  EXPECT_EQ((std::vector<ScreenRect>{second, third}), CoverRects({primary, second, third}, primary));
  ExpectCoversExactly({primary, second, third}, primary);
  // Without a primary among the monitors (its rectangle unknown, hence empty), every monitor is covered.
  EXPECT_EQ((std::vector<ScreenRect>{primary, second}), CoverRects({primary, second}, ScreenRect{}));
}

}  // namespace
}  // namespace orlinde
