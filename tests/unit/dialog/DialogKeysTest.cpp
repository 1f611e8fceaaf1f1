// The dialog from the keyboard: the tab order over the stops that can take the focus, the arrow keys on
// the sources and on the display modes, and what Enter, Space and Escape do wherever the focus is.
#include <gtest/gtest.h>
#include <vector>

#include "host/dialog/DialogKeys.h"

namespace {

using namespace orlinde::dialog;

using Enabled = std::array<bool, kStopCount>;
// The dialog as each source leaves it: the track box only with the CD, the file button only with a file;
// the sources and the display modes always.
constexpr Enabled kWithNone{true, true, false, false, true, true};
constexpr Enabled kWithCd{true, true, true, false, true, true};
constexpr Enabled kWithFile{true, true, false, true, true, true};

std::vector<Stop> TabRound(Stop from, bool backwards, const Enabled& enabled) {
  std::vector<Stop> visited;
  Stop at = from;
  for (int i = 0; i < 7; ++i) {
    at = NextStop(at, backwards, enabled);
    visited.push_back(at);
  }
  return visited;
}

TEST(DialogKeys, TabVisitsTheEnabledStopsInLayoutOrderAndWraps) {
  using S = Stop;
  // The display modes come right after the sources, before the track box.
  EXPECT_EQ((std::vector<S>{S::Sources, S::Monitors, S::TrackBox, S::Save, S::Cancel, S::Sources, S::Monitors}),
            TabRound(S::None, false, kWithCd));
  EXPECT_EQ((std::vector<S>{S::Monitors, S::FileButton, S::Save, S::Cancel, S::Sources, S::Monitors, S::FileButton}),
            TabRound(S::Sources, false, kWithFile));
  EXPECT_EQ((std::vector<S>{S::Save, S::Cancel, S::Sources, S::Monitors, S::Save, S::Cancel, S::Sources}),
            TabRound(S::Monitors, false, kWithNone));
  // Shift+Tab: the same ring the other way; from the window itself it starts at the last stop.
  EXPECT_EQ((std::vector<S>{S::Cancel, S::Save, S::FileButton, S::Monitors, S::Sources, S::Cancel, S::Save}),
            TabRound(S::None, true, kWithFile));
  EXPECT_EQ((std::vector<S>{S::Monitors, S::Sources, S::Cancel, S::Save, S::Monitors, S::Sources, S::Cancel}),
            TabRound(S::TrackBox, true, kWithNone));
  // A stop disabled while it has the focus: Tab goes on from where it is.
  EXPECT_EQ(S::Save, NextStop(S::FileButton, false, kWithNone));
  EXPECT_EQ(S::Monitors, NextStop(S::FileButton, true, kWithNone));
  EXPECT_EQ(S::None, NextStop(S::Save, false, Enabled{}));
  EXPECT_EQ((KeyAction{KeyAction::Swallow}), OnKeyDown(Key::Tab, KeyContext{S::Save, Enabled{}}));
}

TEST(DialogKeys, ArrowsOnTheSourcesMoveThroughTheRowsTopDownAndWrap) {
  // Rows from the top: 1 (music CD), 0 (none), 2 (file).
  EXPECT_EQ(0, SourceAfterArrow(1, Key::Down));
  EXPECT_EQ(2, SourceAfterArrow(0, Key::Right));
  EXPECT_EQ(1, SourceAfterArrow(2, Key::Down));
  EXPECT_EQ(2, SourceAfterArrow(1, Key::Up));
  EXPECT_EQ(1, SourceAfterArrow(0, Key::Left));
  EXPECT_EQ(0, SourceAfterArrow(2, Key::Up));
  // None ticked (a hand-edited file): down starts at the top row, up at the bottom one.
  EXPECT_EQ(1, SourceAfterArrow(7, Key::Down));
  EXPECT_EQ(2, SourceAfterArrow(-1, Key::Up));
  EXPECT_EQ(1, CueSource(7));
  EXPECT_EQ(0, CueSource(0));

  KeyContext context{Stop::Sources};
  context.source = 2;
  EXPECT_EQ((KeyAction{KeyAction::Select, Stop::Sources, 1}), OnKeyDown(Key::Down, context));
  // Held arrows keep moving, as held keys do.
  context.repeat = true;
  EXPECT_EQ((KeyAction{KeyAction::Select, Stop::Sources, 0}), OnKeyDown(Key::Up, context));
  // Elsewhere the arrows are the focused control's (the caret and the list of the track box).
  for (Stop stop : {Stop::TrackBox, Stop::Save, Stop::None}) {
    EXPECT_EQ(KeyAction{}, OnKeyDown(Key::Down, KeyContext{stop, kWithCd, 1}));
  }
}

TEST(DialogKeys, ArrowsOnTheDisplayModesMoveThroughEachPrimarySpanAndWrap) {
  using M = orlinde::MonitorMode;
  EXPECT_EQ(M::kPrimary, MonitorsAfterArrow(M::kEach, Key::Down));
  EXPECT_EQ(M::kSpan, MonitorsAfterArrow(M::kPrimary, Key::Right));
  EXPECT_EQ(M::kEach, MonitorsAfterArrow(M::kSpan, Key::Down));
  EXPECT_EQ(M::kSpan, MonitorsAfterArrow(M::kEach, Key::Up));
  EXPECT_EQ(M::kEach, MonitorsAfterArrow(M::kPrimary, Key::Left));
  EXPECT_EQ(M::kPrimary, MonitorsAfterArrow(M::kSpan, Key::Up));

  // On the display-mode stop an arrow chooses a mode and leaves the music source alone; on the sources
  // stop it chooses a source and leaves the mode alone.
  KeyContext context{Stop::Monitors, kWithCd, 1};
  context.monitors = M::kPrimary;
  EXPECT_EQ((KeyAction{KeyAction::SelectMonitors, Stop::Monitors, 0, M::kSpan}), OnKeyDown(Key::Down, context));
  EXPECT_EQ((KeyAction{KeyAction::SelectMonitors, Stop::Monitors, 0, M::kEach}), OnKeyDown(Key::Up, context));
  context.focused = Stop::Sources;
  EXPECT_EQ((KeyAction{KeyAction::Select, Stop::Sources, 0}), OnKeyDown(Key::Down, context));
  // Enter saves and Escape cancels there too; Space does nothing.
  context.focused = Stop::Monitors;
  EXPECT_EQ((KeyAction{KeyAction::Save}), OnKeyDown(Key::Enter, context));
  EXPECT_EQ((KeyAction{KeyAction::Cancel}), OnKeyDown(Key::Escape, context));
  EXPECT_EQ(KeyAction{}, OnKeyDown(Key::Space, context));
}

TEST(DialogKeys, EnterSpaceAndEscapeWhereverTheFocusIs) {
  const KeyAction save{KeyAction::Save}, cancel{KeyAction::Cancel}, passOn{}, swallow{KeyAction::Swallow};
  const KeyAction closeList{KeyAction::CloseList, Stop::TrackBox};
  struct Case {
    Stop focused;
    Enabled enabled;
    KeyAction enter, space, escape;
  };
  for (const Case& c : {
           // A focused Command: Enter and Space raise its Click.
           Case{Stop::Save, kWithNone, {KeyAction::Click, Stop::Save}, {KeyAction::Click, Stop::Save}, cancel},
           Case{Stop::Cancel, kWithNone, {KeyAction::Click, Stop::Cancel}, {KeyAction::Click, Stop::Cancel}, cancel},
           Case{Stop::FileButton,
                kWithFile,
                {KeyAction::Click, Stop::FileButton},
                {KeyAction::Click, Stop::FileButton},
                cancel},
           // A Command that can no longer be used is no Command to click.
           Case{Stop::FileButton, kWithNone, save, passOn, cancel},
           // Elsewhere Enter is 設定 and Escape ｷｬﾝｾﾙ; Space types in the track box.
           Case{Stop::Sources, kWithCd, save, passOn, cancel},
           Case{Stop::TrackBox, kWithCd, save, passOn, cancel},
           Case{Stop::None, kWithCd, save, passOn, cancel},
       }) {
    const KeyContext context{c.focused, c.enabled};
    EXPECT_EQ(c.enter, OnKeyDown(Key::Enter, context)) << static_cast<int>(c.focused);
    EXPECT_EQ(c.space, OnKeyDown(Key::Space, context)) << static_cast<int>(c.focused);
    EXPECT_EQ(c.escape, OnKeyDown(Key::Escape, context)) << static_cast<int>(c.focused);

    // A held key acts once: its repeats neither click, save nor cancel again.
    KeyContext held = context;
    held.repeat = true;
    EXPECT_EQ(swallow, OnKeyDown(Key::Enter, held));
    EXPECT_EQ(swallow, OnKeyDown(Key::Escape, held));
    EXPECT_EQ(c.space == passOn ? passOn : swallow, OnKeyDown(Key::Space, held));

    // With Ctrl held every key is left to the control.
    KeyContext withControl = context;
    withControl.control = true;
    for (Key key : {Key::Tab, Key::Enter, Key::Escape, Key::Space, Key::Down}) {
      EXPECT_EQ(passOn, OnKeyDown(key, withControl));
    }
  }

  // The track box's open list takes Enter and Escape first, as in any Windows dialog; Tab leaves it.
  KeyContext dropped{Stop::TrackBox, kWithCd, 1};
  dropped.listDropped = true;
  EXPECT_EQ(closeList, OnKeyDown(Key::Enter, dropped));
  EXPECT_EQ(closeList, OnKeyDown(Key::Escape, dropped));
  EXPECT_EQ((KeyAction{KeyAction::MoveFocus, Stop::Save}), OnKeyDown(Key::Tab, dropped));
  dropped.shift = true;
  EXPECT_EQ((KeyAction{KeyAction::MoveFocus, Stop::Monitors}), OnKeyDown(Key::Tab, dropped));
  EXPECT_EQ(passOn, OnKeyDown(Key::Other, dropped));
}

}  // namespace
