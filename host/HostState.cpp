#include "HostState.h"

namespace orlinde {

BgmSettingsRecord BgmSettings;
std::int32_t LastApiResult = 0;
std::int16_t CursorX = 0;
std::int16_t CursorY = 0;
std::int32_t CursorState = 0;

}  // namespace orlinde
