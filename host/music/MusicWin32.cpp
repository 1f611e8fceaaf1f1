#include "host/music/MusicWin32.h"
#include <windows.h>

#include <mmsystem.h>

#include "common/CodePageWin32.h"

namespace orlinde::music {

std::int32_t Win32MediaSystem::SendString(const std::string& command, char* reply, std::uint32_t replyLength) {
  return static_cast<std::int32_t>(mciSendStringA(command.c_str(), reply, replyLength, nullptr));
}

bool Win32MediaSystem::GetErrorString(std::int32_t code, char* text, std::uint32_t length) {
  return mciGetErrorStringA(static_cast<MCIERROR>(code), text, length) != FALSE;
}

std::uint32_t Win32MediaSystem::WaveOutDeviceCount() {
  return waveOutGetNumDevs();
}

std::int32_t Win32MediaSystem::SoundPlay(const char* name, std::uint32_t flags) {
  return PlaySoundA(name, nullptr, flags);
}

std::string Win32MediaSystem::FromUtf8(std::string_view utf8) {
  return Utf8ToAnsi(utf8);
}

}  // namespace orlinde::music
