#include "host/dialog/SettingsDialogSave.h"

#include "host/dialog/DialogRules.h"

namespace orlinde::dialog {

bool SaveChoice(BgmSettingsRecord& settings, std::string_view trackText, ProfileStore& store, const std::string& path) {
  settings.BgmRepeat = TrackTextToRepeat(trackText);
  return SaveSettings(settings, store, path);
}

}  // namespace orlinde::dialog
