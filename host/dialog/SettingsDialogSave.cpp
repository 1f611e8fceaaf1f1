#include "host/dialog/SettingsDialogSave.h"

#include "host/dialog/DialogRules.h"

namespace orlinde::dialog {

bool SaveChoice(BgmSettingsRecord& settings, MonitorMode monitors, std::string_view trackText, ProfileStore& store,
                const std::string& path) {
  settings.BgmRepeat = TrackTextToRepeat(trackText);
  const bool musicSaved = SaveSettings(settings, store, path);
  ProfileStoreFile file(store, path);
  const bool displaySaved = WriteMonitorMode(file, monitors);
  return musicSaved && displaySaved;
}

}  // namespace orlinde::dialog
