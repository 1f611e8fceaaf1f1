// The music player against a scripted multimedia system that answers every MCI command with an arbitrary
// code and reply text (track counts, positions, modes, error texts), taken from the input, and fills the
// whole reply buffer it is given, as a careless driver might. The input also chooses the settings and the
// order of calls (opens, watch ticks, closes). The player must never read or write past a buffer, and a
// command it sends must never carry more than what it built from the settings and the replies.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "host/music/MusicPlayer.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

class ScriptedMedia final : public orlinde::music::MediaSystem {
 public:
  explicit ScriptedMedia(FuzzedDataProvider& input) : input_(input) {}
  std::size_t commands = 0;

  std::int32_t SendString(const std::string& command, char* reply, std::uint32_t length) override {
    ++commands;
    FUZZ_CHECK(!command.empty());
    FUZZ_CHECK((reply == nullptr) == (length == 0));
    const std::int32_t code = input_.ConsumeBool() ? 0 : input_.ConsumeIntegral<std::int32_t>();
    if (reply != nullptr) {
      const std::string text = input_.ConsumeRandomLengthString(length + 8);
      // Every byte of the buffer the player handed over, and no terminator when the text fills it.
      std::memset(reply, 'x', length);
      std::memcpy(reply, text.data(), text.size() < length ? text.size() : length);
      if (text.size() < length) reply[text.size()] = '\0';
    }
    return code;
  }
  bool GetErrorString(std::int32_t, char* text, std::uint32_t length) override {
    if (!input_.ConsumeBool()) return false;
    std::memset(text, 'e', length);  // a whole buffer of error text, not terminated
    return true;
  }
  std::uint32_t WaveOutDeviceCount() override { return input_.ConsumeIntegralInRange<std::uint32_t>(0, 2); }
  std::int32_t SoundPlay(const char* name, std::uint32_t) override {
    if (name != nullptr) FUZZ_CHECK(std::strlen(name) <= 4096);
    return input_.ConsumeBool() ? 1 : 0;
  }

 private:
  FuzzedDataProvider& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  orlinde::BgmSettingsRecord settings;
  settings.BgmKind = input.ConsumeIntegralInRange<std::int16_t>(0, 2);
  settings.BgmRepeat = input.ConsumeIntegral<std::int16_t>();
  settings.BgmFile = input.ConsumeRandomLengthString(300);
  std::int32_t last = 0;
  ScriptedMedia media(input);
  orlinde::music::MusicPlayer player(media, settings, last);

  while (input.remaining_bytes() > 0 && media.commands < 64) {
    switch (input.ConsumeIntegralInRange(0, 9)) {
      case 0:
        player.CdOpen();
        break;
      case 1:
      case 2:
        player.CdWatch();
        break;
      case 3:
        player.CdClose();
        break;
      case 4:
        player.Mp3Open();
        break;
      case 5:
      case 6:
        player.Mp3Watch();
        break;
      case 7:
        player.Mp3Close();
        break;
      case 8:
        player.WavPlay();
        break;
      default: {
        std::string reply;
        player.MciSend(input.ConsumeRandomLengthString(64), reply);
        FUZZ_CHECK(reply.size() <= orlinde::music::kErrorTextLength + orlinde::music::kReplyLength);
        break;
      }
    }
    FUZZ_CHECK(player.MciReply.size() <= orlinde::music::kReplyLength + 32);
  }
  player.WavStop();
  return 0;
}
