# Third-party libraries, linked through the project's short names.
#
# libpng and zlib: the imported targets PNG::PNG (which brings ZLIB::ZLIB)
# or the alias quorvane::png.
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

set(_quorvane_png PNG::PNG)

# Audio files and resampling for the command-line host: quorvane::sndfile
# (libsndfile with FLAC, Ogg Vorbis and Opus) and quorvane::samplerate.
#
# Natively Debian's -dev packages, which ship only pkg-config files. For
# Windows the static archives that scripts/setup.sh cross-builds, through
# the CMake packages they install; those bring the codec libraries along.
if(CMAKE_CROSSCOMPILING AND WIN32)
  find_package(SndFile CONFIG PATHS ${QUORVANE_DEPS_PREFIX} NO_DEFAULT_PATH)
  find_package(SampleRate CONFIG PATHS ${QUORVANE_DEPS_PREFIX} NO_DEFAULT_PATH)
  if(NOT SndFile_FOUND OR NOT SampleRate_FOUND)
    message(FATAL_ERROR
      "No static MinGW-w64 libsndfile or libsamplerate under ${QUORVANE_DEPS_PREFIX}. "
      "Run scripts/setup.sh (as root) to build them.")
  endif()
  set(_quorvane_sndfile SndFile::sndfile)
  set(_quorvane_samplerate SampleRate::samplerate)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUORVANE_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
  pkg_check_modules(QUORVANE_SAMPLERATE REQUIRED IMPORTED_TARGET samplerate)
  set(_quorvane_sndfile PkgConfig::QUORVANE_SNDFILE)
  set(_quorvane_samplerate PkgConfig::QUORVANE_SAMPLERATE)
endif()

# Short names the project links, whichever build provides them.
foreach(_quorvane_lib png sndfile samplerate)
  if(NOT TARGET quorvane::${_quorvane_lib})
    add_library(quorvane_${_quorvane_lib} INTERFACE)
    target_link_libraries(quorvane_${_quorvane_lib} INTERFACE ${_quorvane_${_quorvane_lib}})
    add_library(quorvane::${_quorvane_lib} ALIAS quorvane_${_quorvane_lib})
  endif()
endforeach()
