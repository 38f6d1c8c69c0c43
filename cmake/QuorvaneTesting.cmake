# quorvane_add_gtest(<name> SOURCES ... LIBS ...): one GoogleTest executable,
# registered with CTest. Natively the cases are discovered one by one; in the
# Windows build the whole executable runs as one test under Wine.
if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest's sources; build them with the cross compiler.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QUORVANE_GTEST_LIBS gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(QUORVANE_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

function(quorvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${QUORVANE_GTEST_LIBS})
  quorvane_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    target_link_options(${name} PRIVATE -static)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
