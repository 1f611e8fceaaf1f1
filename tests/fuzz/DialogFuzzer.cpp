// The settings dialog's text handling without its window: arbitrary text in the track box, an arbitrary
// open-file buffer (no terminator inside it, or several), and a save through a store whose writes fail as
// the input says. The track text must give a 16-bit value that the track list shows again as the same
// number, the path must stay inside its buffer, and a save must report a failure exactly when one of its
// four writes (the three music keys, then the display mode) failed, after attempting all four.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialog/DialogRules.h"
#include "host/dialog/SettingsDialogSave.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzStores.h"

namespace {

class FailingFile final : public orlinde::IniValues {
 public:
  std::vector<std::string> keys;
  std::vector<std::string> values;
  unsigned failures = 0;  // bit n set: write n fails

  std::string Read(std::string_view, std::string_view) override { return {}; }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    // The three music keys in their section, then the display mode in its own.
    FUZZ_CHECK(section == (keys.size() < 3 ? orlinde::ini::kSection : orlinde::display_ini::kSection));
    const bool fails = (failures >> keys.size()) & 1U;
    keys.emplace_back(key);
    values.emplace_back(value);
    return !fails;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const unsigned failures = input.ConsumeIntegralInRange<unsigned>(0, 15);
  const auto monitors = static_cast<orlinde::MonitorMode>(input.ConsumeIntegralInRange<int>(0, 2));
  orlinde::BgmSettingsRecord settings;
  settings.BgmKind = input.ConsumeIntegral<std::int16_t>();
  settings.BgmFile = input.ConsumeRandomLengthString(300);
  const std::string trackText = input.ConsumeRandomLengthString(64);
  const std::string fileBuffer = input.ConsumeRemainingBytesAsString();

  // The track box.
  const std::int16_t repeat = orlinde::dialog::TrackTextToRepeat(trackText);
  FUZZ_CHECK(orlinde::dialog::TrackTextToRepeat(orlinde::dialog::FormatDigitMask(repeat)) == repeat);
  const orlinde::dialog::SourceControls controls = orlinde::dialog::ControlsForSource(settings.BgmKind);
  FUZZ_CHECK(controls.ticked[0] + controls.ticked[1] + controls.ticked[2] <= 1);

  // The open-file buffer: read from a copy of exactly its size, so that a read past it is caught.
  std::vector<char> buffer(fileBuffer.begin(), fileBuffer.end());
  const std::string path = orlinde::dialog::PathFromFileBuffer(buffer.data(), buffer.size());
  FUZZ_CHECK(path.size() <= buffer.size());
  FUZZ_CHECK(path.find('\0') == std::string::npos);

  // The confirm button's save.
  FailingFile store;
  store.failures = failures;
  const bool saved = orlinde::dialog::SaveChoice(settings, monitors, trackText, store);
  FUZZ_CHECK(store.keys.size() == 4);
  FUZZ_CHECK(saved == (failures == 0));
  FUZZ_CHECK(settings.BgmRepeat == repeat);
  FUZZ_CHECK(store.values[0] == orlinde::FormatSettingNumber(settings.BgmKind));
  FUZZ_CHECK(store.values[1] == orlinde::FormatSettingNumber(repeat));
  FUZZ_CHECK(store.values[2] == settings.BgmFile);
  FUZZ_CHECK(store.keys[3] == orlinde::display_ini::kMonitorsKey);
  FUZZ_CHECK(orlinde::ParseMonitorMode(store.values[3]) == monitors);
  return 0;
}
