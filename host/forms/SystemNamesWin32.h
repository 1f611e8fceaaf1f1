// The system's own cursors and resource types (IDC_ARROW, RT_RCDATA ...) as the wide functions take them.
// windows.h spells those names with MAKEINTRESOURCE, which in a build without UNICODE is the narrow form;
// the wide form carries the same number.
#pragma once

#include <windows.h>

namespace orlinde::forms {

inline LPCWSTR WideName(LPCSTR systemName) {
  return MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(systemName));
}

}  // namespace orlinde::forms
