#include "SystemError.h"

#include <cerrno>
#include <cstring>

namespace vsthost {

std::string LastSystemError() {
  return std::strerror(errno);
}

} // namespace vsthost
