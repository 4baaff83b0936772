# Without the tests, erilaisetrivit_test (below) defines nothing.
if(NOT ERILAISETRIVIT_TESTS)
  function(erilaisetrivit_test)
  endfunction()
  return()
endif()

# GoogleTest for the unit suites: Debian's packaged library natively; when
# cross-compiling, the sources that the googletest package ships.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/Wine.cmake)
endif()

# erilaisetrivit_test(NAME SOURCES... LIBS lib...): one test executable whose
# cases CTest runs; a cross-built one runs under wine as one test, since
# every start of wine costs seconds, and counts as skipped where wine cannot
# run it (Wine.cmake).
function(erilaisetrivit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()
