// What the settings dialog's confirm button writes, without its window: the track box's text becomes
// BgmRepeat, the three music settings go to the file in their fixed order, then the display setting. It
// reports whether any of the writes failed, so that the dialog can say so and stay open instead of
// losing the choice.
#pragma once

#include <string_view>

#include "common/DisplaySetting.h"
#include "host/settings/Settings.h"

namespace orlinde::dialog {

// In order, in [Section]: "BGM区分" = BgmKind with a sign column; BgmRepeat = the track text rounded half
// to even (0 for anything that is not a 16-bit number), then "BGMﾘﾋﾟｰﾄ" = BgmRepeat with a sign column;
// "BGMﾌｧｲﾙ" = BgmFile as it is. Then [Display] "Monitors" = the mode's name. Each write sets its one key
// and leaves the rest of the file as it was; every write runs even after a failed one. True when all four
// succeeded.
bool SaveChoice(BgmSettingsRecord& settings, MonitorMode monitors, std::string_view trackText, IniValues& file);

}  // namespace orlinde::dialog
