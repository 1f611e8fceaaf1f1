#include "SettingsDialogSave.h"

#include "DialogRules.h"

namespace orlinde::dialog {

bool SaveChoice(BgmSettingsRecord& settings, std::string_view trackText, ProfileStore& store, const std::string& path,
                std::int32_t& lastApiResult) {
  bool allWritten = true;
  auto write = [&](const char* key, const std::string& value) {
    WriteIni(store, ini::kSection, key, value, path, lastApiResult);
    if (lastApiResult == 0) allWritten = false;
  };
  write(ini::kKindKey, FormatSettingNumber(settings.BgmKind));
  settings.BgmRepeat = TrackTextToRepeat(trackText);
  write(ini::kRepeatKey, FormatSettingNumber(settings.BgmRepeat));
  write(ini::kFileKey, settings.BgmFile);
  return allWritten;
}

}  // namespace orlinde::dialog
