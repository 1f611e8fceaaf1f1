#include "MusicPlayer.h"

#include "DecimalText.h"

namespace orlinde::music {

namespace {

// The text of a buffer up to its first zero; the buffer's last byte is always zero.
std::string TextOf(const char* buffer) {
  return std::string(buffer);
}

// The first seven characters of a mode reply, as the device states are compared.
std::string Mode7(const char* buffer) {
  std::size_t length = 0;
  while (length < 7 && buffer[length] != '\0') ++length;
  return std::string(buffer, length);
}

bool MentionsError(const std::string& text) {
  for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
    const auto upper = [&](std::size_t k) {
      const char c = text[i + k];
      return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    };
    if (upper(0) == 'E' && upper(1) == 'R' && upper(2) == 'R') return true;
  }
  return false;
}

}  // namespace

MusicPlayer::MusicPlayer(MediaSystem& system, const BgmSettingsRecord& settings, std::int32_t& lastApiResult)
    : system_(system), settings_(settings), lastApiResult_(lastApiResult) {}

void MusicPlayer::MciCommand(const std::string& command) {
  lastApiResult_ = system_.SendString(command, nullptr, 0);
}

std::int32_t MusicPlayer::MciSend(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = system_.FromUtf8(kNoCommandReply);
    return -1;
  }
  const std::int32_t code = system_.SendString(command, reply_, kReplyLength);
  reply_[kReplyLength] = '\0';
  lastApiResult_ = code;
  if (code != 0) {
    const bool gotText = system_.GetErrorString(code, errorText_, kErrorTextLength);
    errorText_[kErrorTextLength] = '\0';
    reply = gotText ? TextOf(errorText_) : system_.FromUtf8(kNoErrorTextReply);
    return code;
  }
  reply = TextOf(reply_);
  return 0;
}

std::string MusicPlayer::MciQuery(const std::string& command) {
  const std::int32_t code = MciSend(command, MciReply);
  lastApiResult_ = code;
  if (code != 0) return "Error:" + std::to_string(code);
  return MciReply;
}

std::int32_t MusicPlayer::MciPlay(const std::string& device, const std::string& from, const std::string& to) {
  std::string command = "play " + device;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return MciSend(command, MciReply);
}

void MusicPlayer::CdOpen() {
  MciCommand("open cdaudio");
  MciCommand("set cdaudio time format tmsf");
}

void MusicPlayer::CdClose() {
  MciCommand("stop cdaudio");
  MciCommand("close cdaudio");
}

void MusicPlayer::CdWatch() {
  CdWatchActive = true;
  try {
    const std::string current = MciQuery("status cdaudio current track");
    if (MentionsError(current)) {
      CdWatchActive = false;
      return;
    }
    const std::string count = MciQuery("status cdaudio number of tracks");
    if (MentionsError(count)) {
      CdWatchActive = false;
      return;
    }
    lastApiResult_ = system_.SendString("status cdaudio mode", cdMode_, kCdModeLength);
    cdMode_[kCdModeLength] = '\0';
    const bool stopped = Mode7(cdMode_) == "stopped";

    const std::int16_t repeat = settings_.BgmRepeat;
    if (repeat != 0) {
      // The current track is compared whether or not the device stopped: a reply that is no number ends
      // the watch either way.
      const auto track = ParseDecimal(current);
      if (!track) {
        CdWatchActive = false;
        return;
      }
      if (stopped || !Equals(*track, repeat)) {
        const std::string start = MciQuery("status cdaudio position track " + std::to_string(repeat));
        MciPlay("cdaudio", start, "");
      }
    } else if (stopped) {
      MciPlay("cdaudio", "", "");
    }
  } catch (...) {
    CdWatchActive = false;
  }
}

void MusicPlayer::Mp3Open() {
  const std::string open = "open \"" + settings_.BgmFile + "\" type MPEGVideo Alias MP3Play";
  if (system_.SendString(open, nullptr, 0) == 0) system_.SendString("play MP3Play", nullptr, 0);
}

void MusicPlayer::Mp3Close() {
  system_.SendString("stop MP3Play", nullptr, 0);
  system_.SendString("close MP3Play", nullptr, 0);
}

bool MusicPlayer::Mp3IsPlaying() {
  system_.SendString("status MP3Play mode", mp3Mode_, kMp3ModeLength);
  mp3Mode_[kMp3ModeLength] = '\0';
  return Mode7(mp3Mode_) == "playing";
}

void MusicPlayer::Mp3Watch() {
  if (Mp3IsPlaying()) return;
  system_.SendString("stop MP3Play", nullptr, 0);
  system_.SendString("play MP3Play from 0", nullptr, 0);
}

void MusicPlayer::WavPlay() {
  if (system_.WaveOutDeviceCount() == 0) return;
  lastApiResult_ = system_.SoundPlay(settings_.BgmFile.c_str(), kSndAsync | kSndLoop);
}

void MusicPlayer::WavStop() {
  lastApiResult_ = system_.SoundPlay(nullptr, 0);
}

FileMusic FileMusicOf(std::string_view bgmFile) {
  const std::string_view tail = bgmFile.size() > 3 ? bgmFile.substr(bgmFile.size() - 3) : bgmFile;
  std::string upper(tail);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == "WAV") return FileMusic::Wav;
  if (upper == "MP3") return FileMusic::Mp3;
  return FileMusic::None;
}

}  // namespace orlinde::music
