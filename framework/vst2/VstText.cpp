#include "framework/vst2/VstText.h"

namespace quorvane {

void CopyHostText(char* dest, const char* text, std::size_t size) {
  if (dest == nullptr || size == 0) return;
  std::size_t n = 0;
  if (text != nullptr) {
    while (n + 1 < size && text[n] != '\0') {
      dest[n] = text[n];
      ++n;
    }
  }
  dest[n] = '\0';
}

} // namespace quorvane
