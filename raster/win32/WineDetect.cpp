#include "raster/win32/WineDetect.h"

#include <windows.h>

namespace quorvane {

bool IsRunningUnderWine() {
  // Fonts are used on the editor thread only, so the cached answer needs no
  // lock; a race would only repeat the same registry query.
  static int answer = -1;
  if (answer < 0) {
    HKEY key = nullptr;
    answer = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS ? 1 : 0;
    if (answer == 1) RegCloseKey(key);
  }
  return answer == 1;
}

} // namespace quorvane
