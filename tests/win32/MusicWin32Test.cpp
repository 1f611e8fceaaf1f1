// The music player over winmm: replies and error texts of real MCI calls (no CD drive and no sound card
// needed: only failures and fixed texts are checked).
#include <windows.h>

#include <gtest/gtest.h>

#include "host/music/MusicWin32.h"

namespace orlinde::music {
namespace {

TEST(MusicWin32, FixedRepliesComeInTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 932u);
  Win32MediaSystem system;
  BgmSettingsRecord settings;
  std::int32_t last = 0;
  MusicPlayer player(system, settings, last);
  std::string reply;
  EXPECT_EQ(player.MciSend("", reply), -1);
  // "コマンド文字列が指定されていません" in Shift-JIS starts with コマ = 83 52 83 7D.
  ASSERT_GE(reply.size(), 4u);
  EXPECT_EQ(reply.substr(0, 4), "\x83\x52\x83\x7D");
  EXPECT_EQ(system.FromUtf8(kNoErrorTextReply),
            "Error (\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E\xE6\x82\xEA\x82\xDC\x82\xB9\x82\xF1)");
}

TEST(MusicWin32, UnknownCommandGivesCodeAndErrorText) {
  Win32MediaSystem system;
  BgmSettingsRecord settings;
  std::int32_t last = 0;
  MusicPlayer player(system, settings, last);
  const std::string result = player.MciQuery("status NoSuchDevice mode");
  EXPECT_NE(last, 0);
  EXPECT_EQ(result, "Error:" + std::to_string(last));
  EXPECT_FALSE(player.MciReply.empty());
  EXPECT_NE(player.MciReply, system.FromUtf8(kNoErrorTextReply));
}

TEST(MusicWin32, ErrorTextOfACodeThatIsNoMciErrorFails) {
  Win32MediaSystem system;
  char text[257] = {};
  EXPECT_FALSE(system.GetErrorString(0x7FFF, text, 256));
}

TEST(MusicWin32, Mp3OfAMissingFileStaysSilent) {
  Win32MediaSystem system;
  BgmSettingsRecord settings{2, 0, "C:\\no such folder\\a b.mp3"};
  std::int32_t last = 0;
  MusicPlayer player(system, settings, last);
  player.Mp3Open();
  EXPECT_FALSE(player.Mp3IsPlaying());
  player.Mp3Watch();
  player.Mp3Close();
}

}  // namespace
}  // namespace orlinde::music
