# quorvane_add_gtest(<name> SOURCES ... LIBS ... [PROPERTIES ...]): one
# GoogleTest executable, registered with CTest; PROPERTIES go to its tests.
# Natively the cases are discovered one by one; in the Windows build the
# whole executable runs as one test under Wine, since every Wine start costs
# about a second.
#
# quorvane_check_self_contained(<target>): in the Windows build, a test that
# fails if the executable or DLL imports anything but Windows system DLLs
# (a MinGW runtime, libpng or zlib DLL would be missing on a user's machine).
# Natively it does nothing.
#
# quorvane_check_desktop_libraries(<target>): natively, a test that fails if
# the module needs a shared library that a Linux desktop need not have.
if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest's sources; build them with the cross compiler.
  # The win32 thread model has no pthreads, and no std::mutex for
  # GoogleTest's Notification: a customisation header supplies one.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources missing: run scripts/setup.sh (package googletest)")
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest-mingw)
  set(QUORVANE_GTEST_LIBS gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(QUORVANE_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

function(quorvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${QUORVANE_GTEST_LIBS})
  quorvane_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                         ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES ${ARG_PROPERTIES})
  endif()
endfunction()

function(quorvane_check_self_contained target)
  if(NOT (CMAKE_CROSSCOMPILING AND WIN32))
    return()
  endif()
  add_test(NAME ${target}_self_contained
    COMMAND /bin/bash ${PROJECT_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:${target}>)
endfunction()

function(quorvane_check_desktop_libraries target)
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  add_test(NAME ${target}_desktop_libraries
    COMMAND /bin/bash ${PROJECT_SOURCE_DIR}/scripts/check-needed.sh $<TARGET_FILE:${target}>)
endfunction()
