#include "host/music/MusicPlayer.h"

#include "host/settings/DecimalText.h"

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
  const std::optional<std::string> reply = MciQueryReply(command);
  return reply ? *reply : "Error:" + std::to_string(lastApiResult_);
}

std::optional<std::string> MusicPlayer::MciQueryReply(const std::string& command) {
  const std::int32_t code = MciSend(command, MciReply);
  lastApiResult_ = code;
  if (code != 0) return std::nullopt;
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

// A failed status query (no disc, no drive, a drive in use) ends the watch; so does a current track that
// is not a number when a track is to be kept.
void MusicPlayer::CdWatch() {
  CdWatchActive = false;
  const std::optional<std::string> current = MciQueryReply("status cdaudio current track");
  if (!current) return;
  // The count is asked only to detect a missing or unreadable disc; its value is not used.
  if (!MciQueryReply("status cdaudio number of tracks")) return;
  lastApiResult_ = system_.SendString("status cdaudio mode", cdMode_, kCdModeLength);
  cdMode_[kCdModeLength] = '\0';
  const bool stopped = Mode7(cdMode_) == "stopped";

  const std::int16_t repeat = settings_.BgmRepeat;
  if (repeat != 0) {
    // The current track is compared whether or not the device stopped.
    const auto track = ParseDecimal(*current);
    if (!track) return;
    if (stopped || !Equals(*track, repeat)) {
      // A failed position query gives "Error:<code>" as the start, and the play built from it fails in
      // turn; the next tick tries again.
      const std::string start = MciQuery("status cdaudio position track " + std::to_string(repeat));
      MciPlay("cdaudio", start, "");
    }
  } else if (stopped) {
    MciPlay("cdaudio", "", "");
  }
  CdWatchActive = true;
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

MusicSource SourceOf(const BgmSettingsRecord& settings) {
  if (settings.BgmKind == kBgmCd) return MusicSource::Cd;
  if (settings.BgmKind != kBgmFile) return MusicSource::None;
  const std::string_view file = settings.BgmFile;
  std::string tail(file.size() > 3 ? file.substr(file.size() - 3) : file);
  for (char& c : tail) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (tail == "WAV") return MusicSource::Wav;
  if (tail == "MP3") return MusicSource::Mp3;
  return MusicSource::None;
}

}  // namespace orlinde::music
