#include "fuzz/FuzzCheck.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace quorvane {

void FuzzRequire(bool ok, const char* format, ...) {
  if (ok) return;
  std::fputs("fuzz invariant broken: ", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::abort();
}

unsigned TouchBytes(const void* data, std::size_t size) {
  const volatile unsigned char* bytes = static_cast<const volatile unsigned char*>(data);
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i)
    sum += bytes[i];
  return sum;
}

} // namespace quorvane
