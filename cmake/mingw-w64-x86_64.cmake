# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix-free
# win32 thread model); tests run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

# The MinGW libpng built by scripts/setup.sh lives under the project's .deps.
get_filename_component(_quorvane_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(QUORVANE_DEPS_PREFIX "${_quorvane_root}/.deps/mingw" CACHE PATH "MinGW-w64 libraries")
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${QUORVANE_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR "${_quorvane_root}/scripts/wine-run.sh")
