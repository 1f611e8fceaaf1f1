// The music player's system on Windows: winmm's MCI and sound functions.
#pragma once

#include "host/music/MusicPlayer.h"

namespace orlinde::music {

// mciSendStringA / mciGetErrorStringA / waveOutGetNumDevs / PlaySoundA.
class Win32MediaSystem final : public MediaSystem {
 public:
  std::int32_t SendString(const std::string& command, char* reply, std::uint32_t replyLength) override;
  bool GetErrorString(std::int32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDeviceCount() override;
  std::int32_t SoundPlay(const char* name, std::uint32_t flags) override;
  std::string FromUtf8(std::string_view utf8) override;
};

}  // namespace orlinde::music
