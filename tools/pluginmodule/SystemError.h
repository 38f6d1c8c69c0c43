// The last error of a Windows or POSIX call as words, for messages. Any
// thread; read it before the next system call.
#pragma once

#include <string>

namespace vsthost {

std::string LastSystemError();

} // namespace vsthost
