// The four-state machine: every row of the transition table, the Click rule, and the sequences a user
// produces with the mouse and the focus.
#include <gtest/gtest.h>
#include <optional>

#include "tests/unit/button/TestSupport.h"

namespace {

using namespace orlinde::button;
using orlinde::MouseButton;
using buttontest::RecordingHost;

enum class Trigger { FocusGained, FocusLost, DownLeft, DownRight, Move, UpLeft, UpRight, TickAway, TickOver };

struct Row {
  std::uint8_t from;
  bool buttonDown;
  Trigger trigger;
  std::uint8_t to;
  std::optional<ButtonImage> drawn;  // nullopt: nothing drawn
  bool buttonDownAfter;
  bool click;
};

class Fixture {
 public:
  Fixture() : command(host, buttontest::GeneratedImages()) {
    command.Resized(73, 25);
    EXPECT_TRUE(command.Enabled());  // first run: enabled
    command.Initialize();
  }
  // Brings an initialised control into `state` the way a user would.
  void Reach(std::uint8_t state, bool buttonDown) {
    if (state == kHighLight || state == kHighLightSelect) command.MouseMove();
    if (state == kSelected) command.FocusGained();
    if (state == kHighLightSelect) command.FocusGained();  // from HighLight: 4
    if (buttonDown) command.MouseDown(MouseButton::Left);
    ASSERT_EQ(state, command.State());
    ASSERT_EQ(buttonDown, command.ButtonDown());
  }
  void Fire(Trigger t) {
    switch (t) {
      case Trigger::FocusGained:
        return command.FocusGained();
      case Trigger::FocusLost:
        return command.FocusLost();
      case Trigger::DownLeft:
        return command.MouseDown(MouseButton::Left);
      case Trigger::DownRight:
        return command.MouseDown(MouseButton::Right);
      case Trigger::Move:
        return command.MouseMove();
      case Trigger::UpLeft:
        return command.MouseUp(MouseButton::Left);
      case Trigger::UpRight:
        return command.MouseUp(MouseButton::Right);
      case Trigger::TickAway:
        return command.TimerTick(false);
      case Trigger::TickOver:
        return command.TimerTick(true);
    }
  }
  RecordingHost host;
  Command command;
};

class StateTable : public ::testing::TestWithParam<Row> {};

TEST_P(StateTable, Row) {
  const Row& row = GetParam();
  Fixture f;
  f.Reach(row.from, row.buttonDown);
  const int draws = f.host.refreshes, clicks = f.host.clicks;
  f.Fire(row.trigger);
  EXPECT_EQ(row.to, f.command.State());
  EXPECT_EQ(row.buttonDownAfter, f.command.ButtonDown());
  if (row.drawn) {
    EXPECT_EQ(draws + 1, f.host.refreshes);
    EXPECT_EQ(row.drawn, f.command.LastDrawn());
  } else {
    EXPECT_EQ(draws, f.host.refreshes);
  }
  EXPECT_EQ(clicks + (row.click ? 1 : 0), f.host.clicks);
}

using BI = ButtonImage;
using T = Trigger;
INSTANTIATE_TEST_SUITE_P(Command, StateTable,
                         ::testing::Values(Row{1, false, T::FocusGained, 3, BI::Selected, false, false},
                                           Row{2, false, T::FocusGained, 4, BI::Pressed, false, false},
                                           Row{3, false, T::FocusGained, 3, BI::Selected, false, false},
                                           Row{4, false, T::FocusGained, 3, BI::Selected, false, false},
                                           Row{1, false, T::FocusLost, 1, std::nullopt, false, false},
                                           Row{2, false, T::FocusLost, 1, BI::Normal, false, false},
                                           Row{3, false, T::FocusLost, 1, BI::Normal, false, false},
                                           Row{4, false, T::FocusLost, 1, BI::Normal, false, false},
                                           Row{1, false, T::DownLeft, 1, BI::Pressed, true, false},
                                           Row{3, false, T::DownLeft, 3, BI::Pressed, true, false},
                                           Row{2, false, T::DownRight, 2, std::nullopt, false, false},
                                           Row{1, false, T::Move, 2, BI::HighLight, false, false},
                                           Row{1, true, T::Move, 2, BI::HighLight, true, false},
                                           Row{3, false, T::Move, 4, BI::HighLightSelect, false, false},
                                           Row{3, true, T::Move, 3, std::nullopt, true, false},
                                           Row{2, false, T::Move, 2, std::nullopt, false, false},
                                           Row{4, false, T::Move, 4, std::nullopt, false, false},
                                           Row{2, true, T::UpLeft, 2, BI::Normal, false, true},
                                           Row{4, true, T::UpLeft, 4, BI::HighLightSelect, false, true},
                                           Row{1, true, T::UpLeft, 1, std::nullopt, false, true},
                                           Row{3, true, T::UpLeft, 3, std::nullopt, false, false},
                                           Row{2, false, T::UpRight, 2, std::nullopt, false, true},
                                           Row{3, false, T::UpRight, 3, std::nullopt, false, false},
                                           Row{4, true, T::UpRight, 4, std::nullopt, true, true},
                                           Row{2, false, T::TickAway, 1, BI::Normal, false, false},
                                           Row{4, false, T::TickAway, 3, BI::Selected, false, false},
                                           Row{1, false, T::TickAway, 1, std::nullopt, false, false},
                                           Row{3, false, T::TickAway, 3, std::nullopt, false, false},
                                           Row{2, false, T::TickOver, 2, std::nullopt, false, false},
                                           Row{4, false, T::TickOver, 4, std::nullopt, false, false}));

TEST(CommandSequence, ClickOnAnUnfocusedButtonWhicheverOrderFocusAndPressArrive) {
  for (bool focusFirst : {false, true}) {
    Fixture f;
    f.command.MouseMove();
    if (focusFirst) f.command.FocusGained();
    f.command.MouseDown(MouseButton::Left);
    if (!focusFirst) f.command.FocusGained();
    EXPECT_EQ(kHighLightSelect, f.command.State());
    EXPECT_EQ(ButtonImage::Pressed, f.command.LastDrawn());
    f.command.TimerTick(true);
    f.command.MouseUp(MouseButton::Left);
    EXPECT_EQ(ButtonImage::HighLightSelect, f.command.LastDrawn());
    EXPECT_EQ(1, f.host.clicks);
  }
}

TEST(CommandSequence, PressDragOffAndReleaseRaisesNoClickAndComingBackChangesNothing) {
  Fixture f;
  f.command.MouseMove();
  f.command.MouseDown(MouseButton::Left);
  f.command.FocusGained();
  f.command.TimerTick(false);  // pointer left while the button is held
  EXPECT_EQ(kSelected, f.command.State());
  EXPECT_EQ(ButtonImage::Selected, f.command.LastDrawn());
  f.command.MouseMove();  // back over the control, still held
  EXPECT_EQ(kSelected, f.command.State());
  f.command.MouseUp(MouseButton::Left);
  EXPECT_EQ(0, f.host.clicks);
  f.command.MouseMove();  // released: hovering again shows the focused hover look
  EXPECT_EQ(kHighLightSelect, f.command.State());
}

TEST(CommandSequence, DisabledControlIgnoresEverythingButStillTicks) {
  Fixture f;
  f.command.MouseMove();
  f.command.SetEnabled(false);
  EXPECT_EQ(ButtonImage::Disable, f.command.LastDrawn());
  EXPECT_FALSE(f.command.CaptionEnabled());
  EXPECT_EQ(kHighLight, f.command.State());  // kept
  const int draws = f.host.refreshes;
  f.command.FocusGained();
  f.command.MouseDown(MouseButton::Left);
  f.command.MouseMove();
  f.command.MouseUp(MouseButton::Left);
  f.command.MouseUp(MouseButton::Right);
  f.command.TimerTick(false);
  f.command.LeaveHover();
  f.command.FocusLost();
  EXPECT_EQ(draws, f.host.refreshes);
  EXPECT_EQ(kHighLight, f.command.State());
  EXPECT_FALSE(f.command.ButtonDown());
  EXPECT_EQ(0, f.host.clicks);
  f.command.SetEnabled(true);
  EXPECT_EQ(ButtonImage::Normal, f.command.LastDrawn());
  EXPECT_TRUE(f.command.CaptionEnabled());
}

TEST(CommandSequence, BeforeInitializeNoHoverLookButTheFocusedLook) {
  RecordingHost host;
  Command command(host, buttontest::GeneratedImages());
  command.Resized(73, 25);
  command.Enabled();
  EXPECT_TRUE(host.timers.empty());
  command.MouseMove();
  EXPECT_EQ(kUninitialised, command.State());
  command.FocusGained();
  EXPECT_EQ(kSelected, command.State());
  command.Initialize();
  EXPECT_EQ(kNormal, command.State());
  EXPECT_EQ(std::vector<unsigned>{kMouseTimerMs}, host.timers);
}

TEST(CommandSequence, FocusLostUnderThePointerShowsNormalUntilTheNextMove) {
  Fixture f;
  f.command.MouseMove();
  f.command.FocusGained();
  f.command.FocusLost();
  EXPECT_EQ(ButtonImage::Normal, f.command.LastDrawn());
  f.command.MouseMove();
  EXPECT_EQ(ButtonImage::HighLight, f.command.LastDrawn());
}

TEST(CommandSequence, GradientDirectionFollowsStateAndHighLightSelectKeepsItsOrigin) {
  Fixture f;
  f.command.FocusGained();  // 3: white at the top
  f.command.MouseMove();    // 4 from 3
  EXPECT_FALSE(f.command.GradientReversed());
  EXPECT_GT(orlinde::RedOf(f.command.Face().At(20, 5)), orlinde::RedOf(f.command.Face().At(20, 19)));

  Fixture g;
  g.command.MouseMove();    // 2: reversed
  g.command.FocusGained();  // 4 from 2
  EXPECT_TRUE(g.command.GradientReversed());
  EXPECT_EQ(kHighLightSelect, g.command.State());
  EXPECT_LT(orlinde::RedOf(g.command.Face().At(20, 5)), orlinde::RedOf(g.command.Face().At(20, 19)));
  g.command.TimerTick(false);  // 4 -> 3: white at the top again
  EXPECT_FALSE(g.command.GradientReversed());
}

}  // namespace
