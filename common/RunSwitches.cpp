#include "common/RunSwitches.h"

#include <cstdlib>
#include <cstring>

namespace orlinde {

bool PacingSwitchedOff() {
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // getenv: the value is only compared, never kept
#endif
  const char* value = std::getenv("ORLINDE_UNPACED");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace orlinde
