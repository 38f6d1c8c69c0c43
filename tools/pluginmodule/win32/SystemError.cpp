#include "SystemError.h"

#include "win32/WideText.h"

#include <windows.h>

namespace vsthost {

std::string LastSystemError() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string words = n > 0 ? Utf8(text) : std::string();
  LocalFree(text);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
    words.pop_back();
  return words.empty() ? "system error " + std::to_string(code) : words;
}

} // namespace vsthost
