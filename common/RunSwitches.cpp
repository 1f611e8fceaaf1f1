#include "common/RunSwitches.h"

#include <cstdlib>
#include <cstring>

namespace orlinde {

bool SwitchedOn(const char* name) {
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // getenv: the value is only compared, never kept
#endif
  const char* value = std::getenv(name);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace orlinde
