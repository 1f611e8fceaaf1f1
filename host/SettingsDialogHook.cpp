// TEMPORARY: the settings dialog is not built yet. Until it is, configure mode ends the process quietly.
// Replace this file with the dialog's ShowSettingsDialog().
#include "SettingsDialog.h"

#include "App.h"

namespace orlinde {

void ShowSettingsDialog() { forms::app::End(0); }

}  // namespace orlinde
