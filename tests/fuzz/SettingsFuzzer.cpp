// Arbitrary bytes as the settings: either as the three values the profile functions return, or as the whole
// file read through a settings-file fake that parses it the way the system's profile functions do. The loader
// must keep its fallbacks (a file source always names a file it could open, values stay within 255 bytes),
// and what the dialog's save writes must load back as the same record.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/settings/Settings.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzStores.h"

namespace {

void CheckNumberRule(std::string_view text) {
  const std::optional<std::int16_t> value = orlinde::ParseSettingNumber(text);
  if (value) FUZZ_CHECK(orlinde::ParseSettingNumber(orlinde::FormatSettingNumber(*value)) == value);
  std::size_t used = 0;
  const auto scanned = orlinde::ScanDecimal(text, &used);
  FUZZ_CHECK(used <= text.size());
  if (orlinde::ParseDecimal(text)) FUZZ_CHECK(scanned.has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool wholeFile = input.ConsumeBool();
  fuzzstores::MapIniValues values;
  fuzzstores::IniText file;
  orlinde::IniValues* store = &values;
  if (wholeFile) {
    const std::vector<std::uint8_t> text = input.ConsumeRemainingBytes<std::uint8_t>();
    file.SetText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    store = &file;
  } else {
    values.values[orlinde::ini::kKindKey] = input.ConsumeRandomLengthString(400);
    values.values[orlinde::ini::kRepeatKey] = input.ConsumeRandomLengthString(400);
    values.values[orlinde::ini::kFileKey] = input.ConsumeRemainingBytesAsString();
  }
  fuzzstores::SuffixFileProbe probe;

  for (const char* key : {orlinde::ini::kKindKey, orlinde::ini::kRepeatKey, orlinde::ini::kFileKey}) {
    const std::string read = orlinde::ReadIni(*store, orlinde::ini::kSection, key);
    FUZZ_CHECK(read.size() <= orlinde::ini::kMaxValueBytes);
    FUZZ_CHECK(read.find('\0') == std::string::npos);
    CheckNumberRule(read);
  }

  orlinde::BgmSettingsRecord loaded{};
  orlinde::LoadSettings(loaded, *store, probe, fuzzstores::ShiftJisLeadByte);
  FUZZ_CHECK(loaded.BgmFile.size() <= orlinde::ini::kMaxValueBytes);
  if (loaded.BgmKind == 2) FUZZ_CHECK(!loaded.BgmFile.empty());
  if (!loaded.BgmFile.empty()) FUZZ_CHECK(orlinde::FileExists(probe, loaded.BgmFile, fuzzstores::ShiftJisLeadByte));
  const std::string kindText = orlinde::ReadIni(*store, orlinde::ini::kSection, orlinde::ini::kKindKey);
  if (kindText.empty() || !orlinde::ParseSettingNumber(kindText)) {
    FUZZ_CHECK(loaded.BgmKind == 0);
  } else if (loaded.BgmKind != 0) {
    FUZZ_CHECK(loaded.BgmKind == *orlinde::ParseSettingNumber(kindText));
  }

  // Save, then load again: the same record.
  FUZZ_CHECK(orlinde::SaveSettings(loaded, *store));
  orlinde::BgmSettingsRecord again{};
  orlinde::LoadSettings(again, *store, probe, fuzzstores::ShiftJisLeadByte);
  FUZZ_CHECK(again.BgmKind == loaded.BgmKind);
  FUZZ_CHECK(again.BgmRepeat == loaded.BgmRepeat);
  // A path can come back without trailing blanks: a blank before a zero byte in the file ends a value read
  // from it, and profile readers drop blanks at the end of a value. Both name the same file on Windows.
  std::string trimmed = loaded.BgmFile;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
  FUZZ_CHECK(again.BgmFile == loaded.BgmFile || again.BgmFile == trimmed);
  for (const std::string& line : file.Lines()) (void)orlinde::FolderOf(line, fuzzstores::ShiftJisLeadByte);
  return 0;
}
