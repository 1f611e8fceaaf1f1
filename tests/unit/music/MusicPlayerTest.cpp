#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "host/music/MusicPlayer.h"

namespace orlinde::music {
namespace {

struct Reply {
  std::int32_t code = 0;
  std::string text;
};

// Records every system call as one line, in order, and answers MCI commands through `answer`.
class FakeMedia final : public MediaSystem {
 public:
  std::function<Reply(const std::string&)> answer = [](const std::string&) { return Reply{}; };
  bool errorTextWorks = true;
  std::uint32_t devices = 1;
  std::int32_t soundResult = 1;
  std::vector<std::string> log;
  std::vector<std::uint32_t> lengths;  // reply length of each MCI command

  std::int32_t SendString(const std::string& command, char* reply, std::uint32_t length) override {
    log.push_back(command);
    lengths.push_back(length);
    EXPECT_EQ(reply == nullptr, length == 0) << command;
    const Reply r = answer(command);
    if (reply != nullptr && length > 0) {
      const std::size_t n = std::min<std::size_t>(r.text.size(), length - 1);
      std::memcpy(reply, r.text.data(), n);
      reply[n] = '\0';
    }
    return r.code;
  }
  bool GetErrorString(std::int32_t code, char* text, std::uint32_t length) override {
    log.push_back("error-text " + std::to_string(code) + " " + std::to_string(length));
    if (!errorTextWorks) return false;
    std::snprintf(text, length, "MCI error %d", code);
    return true;
  }
  std::uint32_t WaveOutDeviceCount() override {
    log.push_back("waveOutGetNumDevs");
    return devices;
  }
  std::int32_t SoundPlay(const char* name, std::uint32_t flags) override {
    log.push_back(std::string("PlaySound ") + (name ? name : "<null>") + " " + std::to_string(flags));
    return soundResult;
  }
};

class Player : public testing::Test {
 protected:
  FakeMedia media;
  BgmSettingsRecord settings;
  std::int32_t last = 12345;
  MusicPlayer player{media, settings, last};
};

// A CD drive with a disc of `tracks` tracks; position replies in tracks/minutes/seconds/frames.
struct Disc {
  bool present = true;
  int tracks = 10;
  int current = 1;
  std::string mode = "stopped";
  std::string currentText;  // overrides the current-track reply when set

  Reply operator()(const std::string& c) {
    constexpr std::int32_t kOutOfRange = 263;
    constexpr std::int32_t kNoMedia = 256;
    if (!present && c.rfind("status", 0) == 0) return {kNoMedia, ""};
    if (c == "status cdaudio current track") return {0, currentText.empty() ? std::to_string(current) : currentText};
    if (c == "status cdaudio number of tracks") return {0, std::to_string(tracks)};
    if (c == "status cdaudio mode") return {0, mode};
    const std::string position = "status cdaudio position track ";
    if (c.rfind(position, 0) == 0) {
      const int track = std::stoi(c.substr(position.size()));
      if (track > tracks) return {kOutOfRange, ""};
      return {0, (track < 10 ? "0" : "") + std::to_string(track) + ":00:00:00"};
    }
    const std::string play = "play cdaudio from ";
    if (c.rfind(play, 0) == 0) {
      if (c.find("Error") != std::string::npos) return {kOutOfRange, ""};
      current = std::stoi(c.substr(play.size(), 2));
      mode = "playing";
      return {};
    }
    if (c == "play cdaudio") {
      mode = "playing";
      return {};
    }
    return {};
  }
};

const std::vector<std::string> kStatus = {"status cdaudio current track", "status cdaudio number of tracks",
                                          "status cdaudio mode"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(Player, CdOpenAndCloseSendWithoutReply) {
  media.answer = [](const std::string& c) { return Reply{c == "close cdaudio" ? 7 : 0, ""}; };
  player.CdOpen();
  EXPECT_EQ(last, 0);
  player.CdClose();
  EXPECT_EQ(media.log, (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf", "stop cdaudio",
                                                 "close cdaudio"}));
  EXPECT_EQ(media.lengths, (std::vector<std::uint32_t>{0, 0, 0, 0}));
  EXPECT_EQ(last, 7);
}

TEST_F(Player, CdWithoutRepeatPlaysOnWheneverStopped) {
  Disc disc;
  disc.current = 5;
  media.answer = std::ref(disc);
  player.CdWatch();
  EXPECT_TRUE(player.CdWatchActive);
  EXPECT_EQ(media.log, Concat(kStatus, {"play cdaudio"}));
  EXPECT_EQ(media.lengths, (std::vector<std::uint32_t>{512, 512, 255, 512}));

  media.log.clear();
  player.CdWatch();  // playing: nothing to do
  EXPECT_EQ(media.log, kStatus);

  media.log.clear();
  disc.mode = "stopped";
  player.CdWatch();
  EXPECT_EQ(media.log, Concat(kStatus, {"play cdaudio"}));
  EXPECT_TRUE(player.CdWatchActive);
}

TEST_F(Player, CdRepeatJumpsBackWhenTheNextTrackStarts) {
  settings.BgmRepeat = 3;
  Disc disc;
  media.answer = std::ref(disc);
  const std::vector<std::string> jump = {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"};

  player.CdWatch();  // stopped at track 1: start track 3
  EXPECT_EQ(media.log, Concat(kStatus, jump));
  EXPECT_EQ(player.MciReply, "");
  media.log.clear();

  player.CdWatch();  // track 3 playing
  EXPECT_EQ(media.log, kStatus);
  media.log.clear();

  disc.current = 4;  // the disc moved on
  player.CdWatch();
  EXPECT_EQ(media.log, Concat(kStatus, jump));
  EXPECT_EQ(disc.current, 3);
  EXPECT_TRUE(player.CdWatchActive);

  media.log.clear();
  disc.mode = "stopped";  // stopped on the right track still restarts it
  player.CdWatch();
  EXPECT_EQ(media.log, Concat(kStatus, jump));
}

TEST_F(Player, CdRepeatBeyondTheDiscKeepsTrying) {
  settings.BgmRepeat = 20;
  Disc disc;
  media.answer = std::ref(disc);
  const auto tick = Concat(kStatus, {"status cdaudio position track 20", "error-text 263 256",
                                     "play cdaudio from Error:263", "error-text 263 256"});
  player.CdWatch();
  EXPECT_EQ(media.log, tick);
  EXPECT_TRUE(player.CdWatchActive);
  EXPECT_EQ(last, 263);
  EXPECT_EQ(player.MciReply, "MCI error 263");
  media.log.clear();
  player.CdWatch();
  EXPECT_EQ(media.log, tick);
  EXPECT_TRUE(player.CdWatchActive);
}

TEST_F(Player, CdWatchStopsForGoodWithoutADisc) {
  Disc disc;
  disc.present = false;
  media.answer = std::ref(disc);
  player.CdWatch();
  EXPECT_FALSE(player.CdWatchActive);
  EXPECT_EQ(media.log, (std::vector<std::string>{"status cdaudio current track", "error-text 256 256"}));
  EXPECT_EQ(last, 256);
}

TEST_F(Player, CdWatchStopsWhenTheTrackCountFails) {
  media.answer = [](const std::string& c) {
    return c == "status cdaudio number of tracks" ? Reply{256, ""} : Reply{0, "1"};
  };
  player.CdWatch();
  EXPECT_FALSE(player.CdWatchActive);
  EXPECT_EQ(media.log.back(), "error-text 256 256");
  EXPECT_EQ(media.log.size(), 3u);
}

TEST_F(Player, OnlyTheReplyCodeDecidesAFailureNotItsText) {
  // A successful reply that happens to read like an error keeps the watch going.
  Disc disc;
  disc.currentText = "terror";
  media.answer = std::ref(disc);
  player.CdWatch();
  EXPECT_TRUE(player.CdWatchActive);
  EXPECT_EQ(media.log, Concat(kStatus, {"play cdaudio"}));
}

TEST_F(Player, NonNumericTrackStopsTheRepeatWatch) {
  Disc disc;
  disc.currentText = "three";
  media.answer = std::ref(disc);
  settings.BgmRepeat = 3;
  player.CdWatch();
  EXPECT_FALSE(player.CdWatchActive);
  EXPECT_EQ(media.log, kStatus);  // the comparison fails before any play

  // Without a track to repeat the current track is never compared.
  settings.BgmRepeat = 0;
  media.log.clear();
  player.CdWatch();
  EXPECT_TRUE(player.CdWatchActive);
  EXPECT_EQ(media.log, Concat(kStatus, {"play cdaudio"}));
}

TEST_F(Player, MciSendWithEmptyCommand) {
  std::string reply = "old";
  EXPECT_EQ(player.MciSend("", reply), -1);
  EXPECT_EQ(reply, kNoCommandReply);
  EXPECT_EQ(reply, "コマンド文字列が指定されていません");
  EXPECT_TRUE(media.log.empty());
  EXPECT_EQ(last, 12345);
  EXPECT_EQ(player.MciQuery(""), "Error:-1");
  EXPECT_EQ(last, -1);
}

TEST_F(Player, MciSendReportsErrorText) {
  media.answer = [](const std::string&) { return Reply{277, "ignored"}; };
  std::string reply;
  EXPECT_EQ(player.MciSend("status cdaudio mode", reply), 277);
  EXPECT_EQ(reply, "MCI error 277");
  media.errorTextWorks = false;
  EXPECT_EQ(player.MciSend("status cdaudio mode", reply), 277);
  EXPECT_EQ(reply, "Error (文字列が取れません)");
  EXPECT_EQ(player.MciQuery("status cdaudio mode"), "Error:277");
  EXPECT_EQ(player.MciReply, "Error (文字列が取れません)");
}

TEST_F(Player, MciPlayBuildsItsCommand) {
  player.MciPlay("cdaudio", "03:00:00:00", "04:00:00:00");
  player.MciPlay("cdaudio", "3", "");
  player.MciPlay("cdaudio", "", "4");
  player.MciPlay("cdaudio", "", "");
  EXPECT_EQ(media.log, (std::vector<std::string>{"play cdaudio from 03:00:00:00 to 04:00:00:00", "play cdaudio from 3",
                                                 "play cdaudio to 4", "play cdaudio"}));
}

// A system that ignores the length and fills every byte it is given, with no terminating zero.
TEST_F(Player, RepliesFillingTheWholeBufferStayBounded) {
  struct Flood final : MediaSystem {
    std::int32_t code = 0;
    std::int32_t SendString(const std::string&, char* reply, std::uint32_t length) override {
      if (reply) std::memset(reply, 'x', length);
      return code;
    }
    bool GetErrorString(std::int32_t, char* text, std::uint32_t length) override {
      std::memset(text, 'e', length);
      return true;
    }
    std::uint32_t WaveOutDeviceCount() override { return 0; }
    std::int32_t SoundPlay(const char*, std::uint32_t) override { return 0; }
  } flood;
  MusicPlayer p(flood, settings, last);
  std::string reply;
  EXPECT_EQ(p.MciSend("status cdaudio mode", reply), 0);
  EXPECT_EQ(reply, std::string(512, 'x'));
  flood.code = 5;
  EXPECT_EQ(p.MciSend("status cdaudio mode", reply), 5);
  EXPECT_EQ(reply, std::string(256, 'e'));
  EXPECT_FALSE(p.Mp3IsPlaying());
  flood.code = 0;
  p.CdWatch();  // a full buffer is neither an error nor "stopped": the watch goes on quietly
  EXPECT_TRUE(p.CdWatchActive);
}

TEST_F(Player, Mp3OpenQuotesThePath) {
  settings.BgmFile = "C:\\My Music\\\x95\x5C rain.mp3";
  player.Mp3Open();
  EXPECT_EQ(media.log, (std::vector<std::string>{
                           "open \"C:\\My Music\\\x95\x5C rain.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
  EXPECT_EQ(media.lengths, (std::vector<std::uint32_t>{0, 0}));
}

TEST_F(Player, FailedMp3OpenSendsNothingMore) {
  settings.BgmFile = "C:\\missing.mp3";
  media.answer = [](const std::string&) { return Reply{275, ""}; };
  player.Mp3Open();
  EXPECT_EQ(media.log, (std::vector<std::string>{"open \"C:\\missing.mp3\" type MPEGVideo Alias MP3Play"}));
}

TEST_F(Player, Mp3WatchRestartsOnlyWhenNotPlaying) {
  std::string mode = "playing";
  media.answer = [&](const std::string& c) { return Reply{0, c == "status MP3Play mode" ? mode : ""}; };
  player.Mp3Watch();
  EXPECT_EQ(media.log, (std::vector<std::string>{"status MP3Play mode"}));
  EXPECT_EQ(media.lengths, (std::vector<std::uint32_t>{30}));
  for (const std::string other : {"stopped", "paused", "playin"}) {
    media.log.clear();
    mode = other;
    player.Mp3Watch();
    EXPECT_EQ(media.log, (std::vector<std::string>{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}))
        << other;
  }
}

TEST_F(Player, Mp3Close) {
  player.Mp3Close();
  EXPECT_EQ(media.log, (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
}

TEST_F(Player, WavPlayNeedsAnOutputDevice) {
  settings.BgmFile = "C:\\Music\\rain.wav";
  media.devices = 0;
  player.WavPlay();
  EXPECT_EQ(media.log, (std::vector<std::string>{"waveOutGetNumDevs"}));
  EXPECT_EQ(last, 12345);

  media.devices = 2;
  media.log.clear();
  player.WavPlay();
  EXPECT_EQ(media.log, (std::vector<std::string>{"waveOutGetNumDevs", "PlaySound C:\\Music\\rain.wav 9"}));
  EXPECT_EQ(last, 1);

  media.log.clear();
  media.soundResult = 0;
  player.WavStop();
  EXPECT_EQ(media.log, (std::vector<std::string>{"PlaySound <null> 0"}));
  EXPECT_EQ(last, 0);
}

}  // namespace
}  // namespace orlinde::music

namespace orlinde::music {
namespace {

TEST(SourceOf, TheCdOrAFilePlayerByTheLastThreeCharactersInAnyCase) {
  const auto file = [](const char* path) { return SourceOf(BgmSettingsRecord{kBgmFile, 0, path}); };
  EXPECT_EQ(MusicSource::Wav, file("C:\\Music\\rain.wav"));
  EXPECT_EQ(MusicSource::Wav, file("C:\\Music\\RAIN.WaV"));
  EXPECT_EQ(MusicSource::Mp3, file("C:\\Music\\a song.mp3"));
  EXPECT_EQ(MusicSource::Mp3, file("mp3"));
  EXPECT_EQ(MusicSource::None, file("C:\\Music\\song.mid"));
  EXPECT_EQ(MusicSource::None, file("C:\\Music\\song.mp3 "));  // the ending is taken literally
  EXPECT_EQ(MusicSource::None, file("wa"));
  EXPECT_EQ(MusicSource::None, file(""));
  // The file's name counts for the file source only.
  EXPECT_EQ(MusicSource::Cd, SourceOf(BgmSettingsRecord{kBgmCd, 3, "C:\\rain.wav"}));
  EXPECT_EQ(MusicSource::None, SourceOf(BgmSettingsRecord{kBgmNone, 0, "C:\\rain.wav"}));
  EXPECT_EQ(MusicSource::None, SourceOf(BgmSettingsRecord{5, 0, "C:\\rain.mp3"}));
}

}  // namespace
}  // namespace orlinde::music
