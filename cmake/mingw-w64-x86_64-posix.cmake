# The MinGW-w64 toolchain with the posix thread model, for the Windows
# benchmark and its Google Benchmark library only: the plug-in and the tests
# keep the win32 model.
set(QUORVANE_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
# Google Benchmark, built by scripts/setup.sh with this toolchain.
list(APPEND CMAKE_FIND_ROOT_PATH ${_quorvane_root}/.deps/mingw-posix)
