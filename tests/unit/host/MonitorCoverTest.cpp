// Where a run lays its black covers: checked point by point against the monitors, so that every pixel off
// the primary monitor is covered exactly once per monitor showing it, and no pixel of the primary is.
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "host/app/MonitorCover.h"

namespace orlinde {
namespace {

// Monitors are given by their edges, as the system reports them.
Rect Edges(int left, int top, int right, int bottom) {
  return Rect::FromEdges(left, top, right, bottom);
}

// Checks every pixel of the monitors' bounding box (and a margin around it): a pixel of the primary is
// never covered; any other pixel is covered as many times as distinct monitors show it (once, unless two
// secondary monitors overlap), and a pixel on no monitor is not covered.
void ExpectCoversExactly(const std::vector<Rect>& monitors, const Rect& primary) {
  const std::vector<Rect> covers = CoverRects(monitors, primary);
  std::vector<Rect> distinct;
  for (const Rect& m : monitors) {
    if (!m.Empty() && !(m == primary) && std::find(distinct.begin(), distinct.end(), m) == distinct.end()) {
      distinct.push_back(m);
    }
  }
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (const Rect& m : monitors) {
    left = std::min(left, m.x);
    top = std::min(top, m.y);
    right = std::max(right, m.Right());
    bottom = std::max(bottom, m.Bottom());
  }
  for (const Rect& c : covers) EXPECT_FALSE(c.Empty());
  int faults = 0;
  for (int y = top - 2; y < bottom + 2 && faults < 5; ++y) {
    for (int x = left - 2; x < right + 2 && faults < 5; ++x) {
      const auto covered = std::count_if(covers.begin(), covers.end(), [&](const Rect& c) { return c.Contains(x, y); });
      const auto expected = primary.Contains(x, y) ? 0
                                                   : std::count_if(distinct.begin(), distinct.end(),
                                                                   [&](const Rect& m) { return m.Contains(x, y); });
      if (covered != expected) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") covered " << covered << " times, expected " << expected;
        ++faults;
      }
    }
  }
}

TEST(MonitorCover, SideBySideMonitorsAreCoveredWholeInOnePieceEach) {
  const Rect primary = Edges(0, 0, 1024, 768);
  const Rect right = Edges(1024, 0, 1824, 600);
  const Rect left = Edges(-1280, -200, 0, 824);
  const Rect above = Edges(0, -600, 800, 0);

  EXPECT_TRUE(CoverRects({primary}, primary).empty()) << "one monitor: nothing to cover";
  EXPECT_EQ((std::vector<Rect>{right}), CoverRects({primary, right}, primary));
  // The primary need not come first; the covers follow the monitors' order.
  EXPECT_EQ((std::vector<Rect>{left, right, above}), CoverRects({left, primary, right, above}, primary));
  ExpectCoversExactly({left, primary, right, above}, primary);
}

TEST(MonitorCover, MirroredAndOverlappingMonitorsNeverCoverThePrimary) {
  const Rect primary = Edges(0, 0, 1024, 768);
  // A clone of the primary at the same size, and one at a larger size: only the larger one's margin.
  EXPECT_TRUE(CoverRects({primary, primary}, primary).empty());
  const Rect largerClone = Edges(0, 0, 1280, 1024);
  EXPECT_EQ((std::vector<Rect>{Edges(0, 768, 1280, 1024), Edges(1024, 0, 1280, 768)}),
            CoverRects({primary, largerClone}, primary));
  ExpectCoversExactly({primary, largerClone}, primary);
  // A smaller clone lies wholly inside the primary.
  EXPECT_TRUE(CoverRects({primary, Edges(0, 0, 800, 600)}, primary).empty());
  // A monitor that straddles the primary's corner, one that surrounds it, and one across its middle.
  ExpectCoversExactly({primary, Edges(900, 700, 1700, 1300)}, primary);
  ExpectCoversExactly({Edges(-100, -100, 1200, 900), primary}, primary);
  EXPECT_EQ(4u, CoverRects({Edges(-100, -100, 1200, 900), primary}, primary).size());
  ExpectCoversExactly({primary, Edges(-300, 200, 1400, 400)}, primary);
}

TEST(MonitorCover, RepeatedEmptyAndOverlappingSecondaryMonitors) {
  const Rect primary = Edges(0, 0, 640, 480);
  const Rect second = Edges(640, 0, 1280, 480);
  // A monitor reported twice gets one cover; empty rectangles none.
  EXPECT_EQ((std::vector<Rect>{second}), CoverRects({primary, second, Edges(5, 5, 5, 90), second}, primary));
  // Two secondary monitors showing a shared part each get their own cover.
  const Rect third = Edges(1000, 200, 1600, 700);
  EXPECT_EQ((std::vector<Rect>{second, third}), CoverRects({primary, second, third}, primary));
  ExpectCoversExactly({primary, second, third}, primary);
  // Without a primary among the monitors (its rectangle unknown, hence empty), every monitor is covered.
  EXPECT_EQ((std::vector<Rect>{primary, second}), CoverRects({primary, second}, Rect{}));
}

TEST(MonitorCover, OnlyThePrimaryModeCoversAndItCoversAsBefore) {
  const Rect primary = Edges(0, 0, 1024, 768);
  const Rect second = Edges(1024, 0, 1824, 600);
  const Rect portrait = Edges(-768, 0, 0, 1024);
  const std::vector<Rect> monitors{portrait, primary, second};
  EXPECT_EQ(CoverRects(monitors, primary), CoverRects(MonitorMode::kPrimary, monitors, primary));
  EXPECT_EQ((std::vector<Rect>{portrait, second}), CoverRects(MonitorMode::kPrimary, monitors, primary));
  // The renderer draws on every monitor in the other modes: nothing to cover, whatever the monitors
  // (after a change too, when the primary may be unknown for a moment).
  for (const MonitorMode mode : {MonitorMode::kEach, MonitorMode::kSpan}) {
    EXPECT_TRUE(CoverRects(mode, monitors, primary).empty());
    EXPECT_TRUE(CoverRects(mode, monitors, Rect{}).empty());
    EXPECT_TRUE(CoverRects(mode, {primary}, primary).empty());
  }
}

}  // namespace
}  // namespace orlinde
