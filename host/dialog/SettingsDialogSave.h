// What the settings dialog's confirm button writes, without its window: the track box's text becomes
// BgmRepeat, and the three settings go to the file in their fixed order. It reports whether any of the
// three writes failed, so that the dialog can say so and stay open instead of losing the choice.
#pragma once

#include <string>
#include <string_view>

#include "host/settings/Settings.h"

namespace orlinde::dialog {

// In order: "BGM区分" = BgmKind with a sign column; BgmRepeat = the track text rounded half to even (0 for
// anything that is not a 16-bit number), then "BGMﾘﾋﾟｰﾄ" = BgmRepeat with a sign column; "BGMﾌｧｲﾙ" =
// BgmFile as it is. Every write runs even after a failed one. True when all three succeeded.
bool SaveChoice(BgmSettingsRecord& settings, std::string_view trackText, ProfileStore& store, const std::string& path);

}  // namespace orlinde::dialog
