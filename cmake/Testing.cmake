# Without the tests, erilaisetrivit_test (below) defines nothing.
if(NOT ERILAISETRIVIT_TESTS)
  function(erilaisetrivit_test)
  endfunction()
  return()
endif()

# GoogleTest for the unit suites: Debian's packaged library natively; for
# Windows and the web, built from the sources that the googletest package
# ships.
if(ERILAISETRIVIT_TARGET STREQUAL "linux")
  find_package(GTest REQUIRED)
else()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # GoogleTest asks for threads, which a web build must not link: its
  # threaded code would be compiled in and die when first run.
  if(ERILAISETRIVIT_TARGET STREQUAL "web")
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
include(GoogleTest)
if(ERILAISETRIVIT_TARGET STREQUAL "windows")
  include(${CMAKE_CURRENT_LIST_DIR}/Wine.cmake)
endif()

# erilaisetrivit_test(NAME SOURCES... LIBS lib...): one test executable whose
# cases CTest runs. A Windows one runs under wine as one test, since every
# start of wine costs seconds, and counts as skipped where wine cannot run it
# (Wine.cmake); a web one runs under Node (the emscripten toolchain's
# emulator) as one test, its module inside its script.
function(erilaisetrivit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ERILAISETRIVIT_TARGET STREQUAL "linux")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  if(ERILAISETRIVIT_TARGET STREQUAL "web")
    target_link_options(${name} PRIVATE ${ERILAISETRIVIT_WEB_TEST_LINK_OPTIONS})
  endif()
endfunction()
