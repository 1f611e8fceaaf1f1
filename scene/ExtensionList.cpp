#include "scene/ExtensionList.h"

namespace orlinde {

bool HasExtension(const char* list, std::string_view name) {
  if (list == nullptr || name.empty()) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    if (rest.substr(0, blank) == name) return true;
    if (blank == std::string_view::npos) break;
    rest.remove_prefix(blank + 1);
  }
  return false;
}

}  // namespace orlinde
