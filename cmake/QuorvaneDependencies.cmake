# Third-party libraries: libpng and zlib (both builds).
# Natively they come from Debian's -dev packages; for Windows from the
# MinGW-w64 libpng that scripts/setup.sh builds into QUORVANE_DEPS_PREFIX
# (a static libpng and Debian's static MinGW zlib).
find_package(PNG REQUIRED)
