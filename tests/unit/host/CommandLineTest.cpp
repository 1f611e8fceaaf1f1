#include <gtest/gtest.h>
#include <string>

#include "host/app/CommandLine.h"

namespace orlinde {
namespace {

struct ModeCase {
  std::string arguments;
  HostMode mode;
  std::int32_t window;
};

class CommandLineModes : public testing::TestWithParam<ModeCase> {};

TEST_P(CommandLineModes, SecondCharacterSelectsTheMode) {
  const CommandLine line = ParseCommandLine(GetParam().arguments);
  EXPECT_EQ(line.mode, GetParam().mode);
  EXPECT_EQ(line.previewWindow, GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineModes,
    testing::Values(ModeCase{"/s", HostMode::RunCursorHidden, 0}, ModeCase{"/S", HostMode::RunCursorHidden, 0},
                    ModeCase{"-s", HostMode::RunCursorHidden, 0}, ModeCase{"xs", HostMode::RunCursorHidden, 0},
                    ModeCase{"", HostMode::RunCursorVisible, 0}, ModeCase{"/c", HostMode::Configure, 0},
                    ModeCase{"/c:1234", HostMode::Configure, 0}, ModeCase{"/C 99", HostMode::Configure, 0},
                    ModeCase{"/p 1234", HostMode::Preview, 1234}, ModeCase{"/p:1234", HostMode::Preview, 1234},
                    ModeCase{"/P   5678 extra", HostMode::Preview, 5678}, ModeCase{"/p", HostMode::Preview, 0},
                    ModeCase{"/p ", HostMode::Preview, 0}, ModeCase{"/p abc", HostMode::Preview, 0},
                    ModeCase{"/a", HostMode::None, 0}, ModeCase{"s", HostMode::None, 0},
                    ModeCase{" ", HostMode::None, 0}, ModeCase{"//s", HostMode::None, 0}));

struct NumberCase {
  std::string text;
  std::int32_t value;
};

class PreviewNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(PreviewNumber, ReadsFromTheFourthCharacter) {
  EXPECT_EQ(ParseCommandLine("/p " + GetParam().text).previewWindow, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Numbers, PreviewNumber,
                         testing::Values(NumberCase{"42xyz", 42}, NumberCase{"\t 7", 7}, NumberCase{"12.4", 12},
                                         NumberCase{"12.6", 13}, NumberCase{"12.5", 12}, NumberCase{"13.5", 14},
                                         NumberCase{"12.50001", 13}, NumberCase{"-7", -7}, NumberCase{"+8", 8},
                                         NumberCase{"0x10", 0}, NumberCase{"2147483647", 2147483647},
                                         NumberCase{"2147483648", 0}, NumberCase{"-2147483648", -2147483647 - 1},
                                         NumberCase{"99999999999999999999999", 0}, NumberCase{".", 0},
                                         NumberCase{"-", 0}));

TEST(CommandLine, SwitchCharacterIsTheUpperCasedSecondCharacter) {
  EXPECT_EQ(SwitchCharacter("/s"), 'S');
  EXPECT_EQ(SwitchCharacter("-p 1"), 'P');
  EXPECT_EQ(SwitchCharacter("s"), '\0');
  EXPECT_EQ(SwitchCharacter(""), '\0');
}

TEST(CommandLine, ArgumentsFollowTheProgramName) {
  EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\Orlinde.scr\" /p 1234"), "/p 1234");
  EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\Orlinde.scr\"   /c"), "/c");
  // The system may hand the switch over right after the closing quote.
  EXPECT_EQ(ArgumentsOf("\"C:\\x\\Orlinde.scr\"/s"), "/s");
  EXPECT_EQ(ParseCommandLine(ArgumentsOf("\"C:\\x\\Orlinde.scr\"/p 1234")).previewWindow, 1234);
  EXPECT_EQ(ArgumentsOf("C:\\Games\\Orlinde.scr /s"), "/s");
  EXPECT_EQ(ArgumentsOf("C:\\Games\\Orlinde.scr"), "");
  EXPECT_EQ(ArgumentsOf("\"C:\\a b\\Orlinde.scr\""), "");
  EXPECT_EQ(ArgumentsOf("\"unterminated /s"), "");
  EXPECT_EQ(ArgumentsOf(""), "");
}

}  // namespace
}  // namespace orlinde
