#include "host/dialog/SettingsDialogSave.h"

#include "host/dialog/DialogRules.h"

namespace orlinde::dialog {

bool SaveChoice(BgmSettingsRecord& settings, MonitorMode monitors, std::string_view trackText, IniValues& file) {
  settings.BgmRepeat = TrackTextToRepeat(trackText);
  const bool musicSaved = SaveSettings(settings, file);
  const bool displaySaved = WriteMonitorMode(file, monitors);
  return musicSaved && displaySaved;
}

}  // namespace orlinde::dialog
