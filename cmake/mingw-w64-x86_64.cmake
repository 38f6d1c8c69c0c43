# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, win32 thread
# model (no std::mutex or std::thread: the project's lock has a Win32 side).
# Tests run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)

# Debian can install both thread models and switch the unsuffixed names
# with update-alternatives; name the win32 ones so every machine builds
# with the same runtime. Only the Windows benchmark's toolchain asks for the
# posix model (Google Benchmark needs std::thread).
if(NOT QUORVANE_MINGW_THREADS)
  set(QUORVANE_MINGW_THREADS win32)
endif()
find_program(_quorvane_mingw_cc
  NAMES ${TOOLCHAIN_PREFIX}-gcc-${QUORVANE_MINGW_THREADS} ${TOOLCHAIN_PREFIX}-gcc)
find_program(_quorvane_mingw_cxx
  NAMES ${TOOLCHAIN_PREFIX}-g++-${QUORVANE_MINGW_THREADS} ${TOOLCHAIN_PREFIX}-g++)
set(CMAKE_C_COMPILER ${_quorvane_mingw_cc})
set(CMAKE_CXX_COMPILER ${_quorvane_mingw_cxx})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_OBJDUMP ${TOOLCHAIN_PREFIX}-objdump)

# Executables and the DLL carry their own C and C++ runtime, so they run
# under Wine and in hosts without MinGW DLLs on the path; no link time goes
# into their headers, so one commit links to the same bytes every time.
set(_quorvane_static_runtime "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_quorvane_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_quorvane_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_quorvane_static_runtime}")

# The MinGW libpng built by scripts/setup.sh lives under the project's .deps.
get_filename_component(_quorvane_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(QUORVANE_DEPS_PREFIX "${_quorvane_root}/.deps/mingw" CACHE PATH "MinGW-w64 libraries")
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${QUORVANE_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Through bash, so the script needs no executable bit after a checkout.
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/bash "${_quorvane_root}/scripts/wine-run.sh")
