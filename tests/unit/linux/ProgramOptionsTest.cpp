// The Linux program's command line and the choice of the window it draws on.
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "linux/FpsOverlay.h"
#include "linux/ProgramOptions.h"

namespace orlinde {
namespace {

ParsedOptions Parse(std::initializer_list<std::string_view> words) {
  const std::vector<std::string_view> arguments(words);
  return ParseProgramOptions(arguments);
}

ProgramOptions Accepted(std::initializer_list<std::string_view> words) {
  const ParsedOptions parsed = Parse(words);
  EXPECT_TRUE(parsed.options.has_value()) << parsed.error;
  return parsed.options.value_or(ProgramOptions{});
}

TEST(ProgramOptionsTest, OneOrTwoDashesAndAnAttachedValueMeanTheSame) {
  const ProgramOptions none = Accepted({});
  EXPECT_EQ(DrawTarget::kDefault, none.target);
  EXPECT_EQ(1000, none.rainInterval);
  EXPECT_EQ(0, none.delayMicroseconds);
  EXPECT_TRUE(none.texture.empty());
  EXPECT_FALSE(none.showFps || none.fullscreen || none.help);

  for (const auto& words : {std::vector<std::string_view>{"-texture", "a.bmp", "-rain-interval", "300", "-delay",
                                                          "20000", "-fps", "-window", "-fullscreen"},
                            std::vector<std::string_view>{"--texture=a.bmp", "--rain-interval=300", "--delay=20000",
                                                          "--fps", "--window", "--fullscreen"}}) {
    const ParsedOptions parsed = ParseProgramOptions(words);
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ("a.bmp", parsed.options->texture);
    EXPECT_EQ(300, parsed.options->rainInterval);
    EXPECT_EQ(20000, parsed.options->delayMicroseconds);
    EXPECT_TRUE(parsed.options->showFps && parsed.options->fullscreen);
    EXPECT_EQ(DrawTarget::kOwnWindow, parsed.options->target);
  }
  EXPECT_EQ(DrawTarget::kRoot, Accepted({"-root"}).target);
  EXPECT_TRUE(Accepted({"--help"}).help);
  // The last place named wins, as with other hacks.
  const ProgramOptions last = Accepted({"--root", "--window-id", "0x2a"});
  EXPECT_EQ(DrawTarget::kWindowId, last.target);
  EXPECT_EQ(42u, last.windowId);
}

TEST(ProgramOptionsTest, RainIntervalNeverGoesBelowTheKeypadFloor) {
  EXPECT_EQ(25, Accepted({"--rain-interval", "25"}).rainInterval);
  EXPECT_EQ(25, Accepted({"--rain-interval", "24"}).rainInterval);
  EXPECT_EQ(25, Accepted({"--rain-interval", "0"}).rainInterval);
  EXPECT_EQ(25, Accepted({"--rain-interval", "-7"}).rainInterval);
  EXPECT_EQ(2147483647, Accepted({"--rain-interval", "+2147483647"}).rainInterval);
  for (const std::string_view bad : {"2147483648", "", "1e3", "12ms", " 5", "0x10", "+"}) {
    EXPECT_FALSE(Parse({"--rain-interval", bad}).options) << bad;
  }
}

TEST(ProgramOptionsTest, DelayIsFromZeroToTenSeconds) {
  EXPECT_EQ(0, Accepted({"--delay", "0"}).delayMicroseconds);
  EXPECT_EQ(10'000'000, Accepted({"--delay", "10000000"}).delayMicroseconds);
  for (const std::string_view bad : {"-1", "10000001", "99999999999999999999", "x", "1.5"}) {
    EXPECT_FALSE(Parse({"--delay", bad}).options) << bad;
  }
}

TEST(ProgramOptionsTest, MonitorsAreEachUnlessPrimaryOrSpanIsNamedExactly) {
  EXPECT_EQ(MonitorMode::kEach, Accepted({}).monitors);
  EXPECT_EQ(MonitorMode::kEach, Accepted({"--root", "--fullscreen"}).monitors);
  EXPECT_EQ(MonitorMode::kPrimary, Accepted({"--monitors", "primary"}).monitors);
  EXPECT_EQ(MonitorMode::kSpan, Accepted({"-monitors", "span"}).monitors);
  EXPECT_EQ(MonitorMode::kSpan, Accepted({"--monitors=span", "--fullscreen"}).monitors);
  EXPECT_EQ(MonitorMode::kEach, Accepted({"--monitors", "span", "--monitors=each"}).monitors) << "the last wins";
  // The settings page writes each mode by its name; the name reads back as the same mode.
  for (const MonitorMode mode : {MonitorMode::kEach, MonitorMode::kPrimary, MonitorMode::kSpan}) {
    EXPECT_EQ(mode, ParseMonitorsOption(MonitorModeName(mode)));
    EXPECT_EQ(mode, Accepted({"--monitors", MonitorModeName(mode)}).monitors);
  }
  for (const std::string_view bad : {"", "Each", "PRIMARY", "spans", "span ", " each", "all", "0", "1"}) {
    const ParsedOptions parsed = Parse({"--monitors", bad});
    EXPECT_FALSE(parsed.options) << bad;
    EXPECT_EQ("--monitors: \"" + std::string(bad) + "\" is not each, primary or span", parsed.error);
  }
  EXPECT_EQ("--monitors needs a value", Parse({"--fullscreen", "--monitors"}).error);
  const std::string usage = UsageText("orlinde");
  EXPECT_NE(std::string::npos, usage.find("  --monitors MODE ")) << usage;
  for (const std::string_view mode : {"each (the default)", "primary:", "span:"}) {
    EXPECT_NE(std::string::npos, usage.find(mode)) << mode;
  }
}

TEST(ProgramOptionsTest, WindowIdsAreHexWithPrefixOrDecimalAndFitThirtyTwoBits) {
  EXPECT_EQ(0x1a00007u, ParseWindowId("0x1a00007"));
  EXPECT_EQ(0xABCu, ParseWindowId("0XaBc"));
  EXPECT_EQ(27262983u, ParseWindowId("27262983"));
  EXPECT_EQ(0xFFFFFFFFu, ParseWindowId("0xffffffff"));
  for (const std::string_view bad : {"", "0", "0x0", "0x", "0x100000000", "4294967296", "-5", "12a", "0x 1", " 1"}) {
    EXPECT_FALSE(ParseWindowId(bad)) << bad;
  }
  EXPECT_FALSE(Parse({"--window-id", "zz"}).options);
}

TEST(ProgramOptionsTest, RefusalsSayWhatWasWrong) {
  const struct {
    std::vector<std::string_view> words;
    std::string_view says;
  } cases[] = {
      {{"--colour"}, "unknown option \"--colour\""},
      {{"---root"}, "unknown option"},
      {{"--texture"}, "--texture needs a value"},
      {{"--texture="}, "--texture needs a file name"},
      {{"--fps=1"}, "--fps takes no value"},
      {{"file.bmp"}, "unexpected argument \"file.bmp\""},
      {{"-"}, "unexpected argument"},
      {{"--delay", "x"}, "--delay: \"x\""},
  };
  for (const auto& c : cases) {
    const ParsedOptions parsed = ParseProgramOptions(c.words);
    EXPECT_FALSE(parsed.options) << c.says;
    EXPECT_NE(std::string::npos, parsed.error.find(c.says)) << parsed.error;
  }
  EXPECT_NE(std::string::npos, UsageText("orlinde").find("usage: orlinde [options]\n"));
}

TEST(ProgramOptionsTest, TheSaverWindowIsUsedUnlessAnotherPlaceIsNamed) {
  using Kind = DrawPlace::Kind;
  const ProgramOptions byDefault = Accepted({});
  const ProgramOptions root = Accepted({"--root"});
  const ProgramOptions own = Accepted({"--window"});
  const ProgramOptions given = Accepted({"--window-id", "77"});
  const struct {
    const ProgramOptions& options;
    const char* saverWindow;
    Kind kind;
    std::uint64_t id;
  } cases[] = {
      {byDefault, nullptr, Kind::kOwnWindow, 0}, {byDefault, "0x400001", Kind::kGivenWindow, 0x400001},
      {root, nullptr, Kind::kRootWindow, 0},     {root, "4194305", Kind::kGivenWindow, 0x400001},
      {own, "0x400001", Kind::kOwnWindow, 0},    {given, "0x400001", Kind::kGivenWindow, 77},
  };
  for (const auto& c : cases) {
    const ResolvedPlace resolved = ResolveDrawPlace(c.options, c.saverWindow);
    ASSERT_TRUE(resolved.place) << resolved.error;
    EXPECT_EQ(c.kind, resolved.place->kind);
    EXPECT_EQ(c.id, resolved.place->windowId);
  }
  const ResolvedPlace bad = ResolveDrawPlace(root, "screen");
  EXPECT_FALSE(bad.place);
  EXPECT_EQ("XSCREENSAVER_WINDOW=\"screen\" is no window id", bad.error);
  EXPECT_TRUE(ResolveDrawPlace(own, "screen").place) << "an own window never reads the variable";
}

TEST(FrameRateCounterTest, CountsTheFramesOfEachWholeSecond) {
  FrameRateCounter counter;
  Microseconds now = 7'000'000;
  for (int frame = 0; frame <= 60; ++frame, now += 1'000'000 / 60) counter.Frame(now);
  EXPECT_DOUBLE_EQ(0.0, counter.Rate()) << "not before a whole second";
  counter.Frame(now);
  EXPECT_NEAR(60.0, counter.Rate(), 0.01);
  EXPECT_EQ("59.9 fps", FrameRateText(59.94));
}

TEST(ProgramOptionsTest, WaylandDrawsWhenACompositorIsNamedAndNoXWindowIsAsked) {
  const struct {
    std::vector<std::string_view> words;
    const char* waylandDisplay;
    const char* saverWindow;
    Shell shell;
  } cases[] = {
      {{}, "wayland-1", nullptr, Shell::kWayland},
      {{"--root"}, "wayland-1", nullptr, Shell::kWayland},
      {{}, "", nullptr, Shell::kX11},
      {{}, nullptr, nullptr, Shell::kX11},
      {{}, "wayland-1", "0x1a00007", Shell::kX11},  // the daemon hands over an X window
      {{"--window-id", "0x1a00007"}, "wayland-1", nullptr, Shell::kX11},
      {{"--x11"}, "wayland-1", nullptr, Shell::kX11},
      {{"--wayland"}, nullptr, nullptr, Shell::kWayland},
      {{"--wayland", "--root"}, "wayland-1", "0x1a00007", Shell::kWayland},
  };
  for (const auto& c : cases) {
    const ChosenShell chosen = ChooseShell(*ParseProgramOptions(c.words).options, c.waylandDisplay, c.saverWindow);
    EXPECT_EQ(c.shell, chosen.shell) << (c.waylandDisplay ? c.waylandDisplay : "unset") << " " << c.words.size();
  }
  const ChosenShell refused = ChooseShell(Accepted({"--wayland", "--window-id", "5"}), "wayland-1", nullptr);
  EXPECT_FALSE(refused.shell);
  EXPECT_EQ("--window-id names an X window: not with --wayland", refused.error);
  EXPECT_EQ("--wayland and --x11 exclude each other", Parse({"--x11", "--wayland"}).error);
  EXPECT_EQ(ShellChoice::kWayland, Accepted({"-wayland", "--wayland"}).shell);
}

}  // namespace
}  // namespace orlinde
