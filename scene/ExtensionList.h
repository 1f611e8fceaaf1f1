// GL extension lists ("GLX_EXT_swap_control GLX_MESA_swap_control …"): whether one names an extension.
#pragma once

#include <string_view>

namespace orlinde {

// True when `name` is one of the blank-separated names of `list`, whole: "WGL_EXT_swap_control" is not
// found in a list that names only "WGL_EXT_swap_control_tear". A null list names nothing.
bool HasExtension(const char* list, std::string_view name);

}  // namespace orlinde
