// The background-music player: the audio CD through the "cdaudio" device (with one track kept repeating),
// an MP3 file through the "MPEGVideo" device under the alias "MP3Play" (restarted when it ends), and a WAV
// file looping through the sound API. The run form calls CdOpen/Mp3Open/WavPlay at the start, CdWatch every
// 200 ms and Mp3Watch every 1000 ms, and CdClose/Mp3Close/WavStop at the end.
//
// Every reply buffer is one byte longer than the length handed to the system, and that byte is always zero,
// so a reply is always read up to a terminating zero inside its buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/settings/Settings.h"

namespace orlinde::music {

// What the player needs from the system's multimedia functions.
class MediaSystem {
 public:
  virtual ~MediaSystem() = default;
  // mciSendStringA(command, reply, replyLength, no callback window). `reply` may be null with length 0.
  virtual std::int32_t SendString(const std::string& command, char* reply, std::uint32_t replyLength) = 0;
  // mciGetErrorStringA(code, text, length); true on success.
  virtual bool GetErrorString(std::int32_t code, char* text, std::uint32_t length) = 0;
  // waveOutGetNumDevs().
  virtual std::uint32_t WaveOutDeviceCount() = 0;
  // PlaySoundA(name, no module, flags); `name` may be null. Returns the call's result.
  virtual std::int32_t SoundPlay(const char* name, std::uint32_t flags) = 0;
  // This program's own UTF-8 text in the system's ANSI code page (the two fixed reply texts).
  virtual std::string FromUtf8(std::string_view utf8) { return std::string(utf8); }
};

inline constexpr std::uint32_t kReplyLength = 512;
inline constexpr std::uint32_t kErrorTextLength = 256;
inline constexpr std::uint32_t kCdModeLength = 255;
inline constexpr std::uint32_t kMp3ModeLength = 30;
inline constexpr std::uint32_t kSndAsync = 0x0001;
inline constexpr std::uint32_t kSndLoop = 0x0008;

// Fixed replies of MciSend (UTF-8; handed through MediaSystem::FromUtf8).
inline constexpr char kNoCommandReply[] = "コマンド文字列が指定されていません";
inline constexpr char kNoErrorTextReply[] = "Error (文字列が取れません)";

// What a run plays: the CD for the CD source; for the file source, the player that the file name's last
// three characters, upper-cased, name ("WAV" or "MP3"); nothing for any other name or source.
enum class MusicSource { None, Cd, Wav, Mp3 };
MusicSource SourceOf(const BgmSettingsRecord& settings);

class MusicPlayer {
 public:
  // `settings` supplies BgmFile and BgmRepeat; results of system calls go to `lastApiResult`.
  MusicPlayer(MediaSystem& system, const BgmSettingsRecord& settings, std::int32_t& lastApiResult);

  // "open cdaudio", "set cdaudio time format tmsf".
  void CdOpen();
  // "stop cdaudio", "close cdaudio".
  void CdClose();
  // One CD watch tick: starts play when the device stopped, jumps back to BgmRepeat's track when another
  // track plays. Sets CdWatchActive false when the disc cannot be queried (the watch timer then stops).
  void CdWatch();

  // Opens BgmFile (quoted) as MPEGVideo under "MP3Play" and plays it when the open succeeded.
  void Mp3Open();
  // "stop MP3Play", "close MP3Play".
  void Mp3Close();
  // True when "status MP3Play mode" answers "playing".
  bool Mp3IsPlaying();
  // Restarts the file from 0 when it is not playing.
  void Mp3Watch();

  // Loops BgmFile through PlaySoundA (flags 9) when a wave output device exists.
  void WavPlay();
  // Stops every sound of the process.
  void WavStop();

  // Sends a command without reply; the code goes to LastApiResult.
  void MciCommand(const std::string& command);
  // Sends a command; `reply` gets the reply text, the error text, or a fixed text. Returns 0, the MCI
  // error code, or -1 for an empty command.
  std::int32_t MciSend(const std::string& command, std::string& reply);
  // The reply of a command (kept in MciReply), or "Error:" + code when it failed.
  std::string MciQuery(const std::string& command);
  // The reply of a command (kept in MciReply, the code in LastApiResult); nullopt when its code is not 0.
  std::optional<std::string> MciQueryReply(const std::string& command);
  // "play <device>[ from <from>][ to <to>]" through MciSend into MciReply; returns its code.
  std::int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to);

  // False after a CD watch tick failed.
  bool CdWatchActive = false;
  // Reply or error text of the latest MciQuery / MciPlay.
  std::string MciReply;

 private:
  MediaSystem& system_;
  const BgmSettingsRecord& settings_;
  std::int32_t& lastApiResult_;
  // Each buffer keeps one extra, always-zero byte behind the length given to the system.
  char reply_[kReplyLength + 1] = {};
  char errorText_[kErrorTextLength + 1] = {};
  char cdMode_[kCdModeLength + 1] = {};
  char mp3Mode_[kMp3ModeLength + 1] = {};
};

}  // namespace orlinde::music
