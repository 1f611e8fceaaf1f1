// Configure mode: shows the settings dialog "<Orlinde>" modally and returns when it has closed.
#pragma once

namespace orlinde {

void ShowSettingsDialog();

}  // namespace orlinde
