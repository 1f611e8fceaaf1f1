#include <windows.h>

#include "common/HandOverPath.h"

namespace orlinde {

std::string HandOverBitmapPath() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return {};
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  return path + "Velsora.bmp";
}

}  // namespace orlinde
