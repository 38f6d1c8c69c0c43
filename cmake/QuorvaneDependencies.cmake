# Third-party libraries: libpng and zlib, used through the imported targets
# PNG::PNG (which brings ZLIB::ZLIB) or the project's alias quorvane::png.
#
# Natively they come from Debian's -dev packages. For Windows the product
# must be self-contained, so the build takes the static MinGW-w64 libpng
# that scripts/setup.sh builds into QUORVANE_DEPS_PREFIX and Debian's
# static MinGW zlib -- never their import libraries, which would make the
# DLL depend on libpng16.dll and zlib1.dll at load time.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(_quorvane_mingw_sysroot /usr/x86_64-w64-mingw32)

  find_path(QUORVANE_MINGW_PNG_INCLUDE_DIR png.h
    PATHS ${QUORVANE_DEPS_PREFIX}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(QUORVANE_MINGW_PNG_LIBRARY NAMES libpng16.a libpng.a
    PATHS ${QUORVANE_DEPS_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_path(QUORVANE_MINGW_ZLIB_INCLUDE_DIR zlib.h
    PATHS ${_quorvane_mingw_sysroot}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(QUORVANE_MINGW_ZLIB_LIBRARY NAMES libz.a
    PATHS ${_quorvane_mingw_sysroot}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

  if(NOT QUORVANE_MINGW_PNG_LIBRARY OR NOT QUORVANE_MINGW_PNG_INCLUDE_DIR)
    message(FATAL_ERROR
      "No static MinGW-w64 libpng under ${QUORVANE_DEPS_PREFIX}. "
      "Run scripts/setup.sh (as root) to build it.")
  endif()
  if(NOT QUORVANE_MINGW_ZLIB_LIBRARY OR NOT QUORVANE_MINGW_ZLIB_INCLUDE_DIR)
    message(FATAL_ERROR
      "No static MinGW-w64 zlib (libz.a) under ${_quorvane_mingw_sysroot}. "
      "Run scripts/setup.sh (as root) to install libz-mingw-w64-dev.")
  endif()

  # Hand the static archives to CMake's own find modules, so PNG::PNG,
  # ZLIB::ZLIB and PNG_VERSION_STRING behave exactly as in the native build.
  set(ZLIB_INCLUDE_DIR ${QUORVANE_MINGW_ZLIB_INCLUDE_DIR} CACHE PATH "" FORCE)
  set(ZLIB_LIBRARY ${QUORVANE_MINGW_ZLIB_LIBRARY} CACHE FILEPATH "" FORCE)
  set(PNG_PNG_INCLUDE_DIR ${QUORVANE_MINGW_PNG_INCLUDE_DIR} CACHE PATH "" FORCE)
  set(PNG_LIBRARY ${QUORVANE_MINGW_PNG_LIBRARY} CACHE FILEPATH "" FORCE)
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)

if(NOT TARGET quorvane::png)
  add_library(quorvane_png INTERFACE)
  target_link_libraries(quorvane_png INTERFACE PNG::PNG)
  add_library(quorvane::png ALIAS quorvane_png)
endif()
