// What the settings dialog's confirm button writes, without its window: the track box's text becomes
// BgmRepeat, and the three settings go to the file through WriteIni in their fixed order. Unlike a plain
// WriteIni sequence, it remembers whether any of the three writes failed (LastApiResult only keeps the
// last one), so that the dialog can say so and stay open instead of losing the choice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "HostState.h"
#include "Settings.h"

namespace orlinde::dialog {

// In order: "BGM区分" = BgmKind with a sign column; BgmRepeat = the track text rounded half to even (0 for
// anything that is not a 16-bit number), then "BGMﾘﾋﾟｰﾄ" = BgmRepeat with a sign column; "BGMﾌｧｲﾙ" =
// BgmFile as it is. Every write runs even after a failed one. True when all three succeeded.
bool SaveChoice(BgmSettingsRecord& settings, std::string_view trackText, ProfileStore& store, const std::string& path,
                std::int32_t& lastApiResult);

}  // namespace orlinde::dialog
