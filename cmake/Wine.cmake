# How a cross-built Windows test runs: under wine's loader for the build's
# processor, in a prefix of the build's own. Whether the machine can run that
# loader at all is decided here, once per configuration, by starting it: a
# kernel without 32-bit support refuses the 32-bit loader ("Exec format
# error") however wine is installed. Where it cannot run, every test of the
# build stands in a skip that says why, and the reason is left in
# ${CMAKE_BINARY_DIR}/wine-skipped.txt for the make targets to print.
#
# ERILAISETRIVIT_WINE_RUN=no forces the answer to "cannot", so that the skip
# path can be tried on any machine.

set(ERILAISETRIVIT_WINE_RUN "auto" CACHE STRING "Run the Windows tests under wine: auto (probe) or no")

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$")
  set(wine_loader /usr/lib/wine/wine)
  set(wine_bits 32)
else()
  set(wine_loader /usr/lib/wine/wine64)
  set(wine_bits 64)
endif()

set(wine_skip_reason "")
if(ERILAISETRIVIT_WINE_RUN STREQUAL "no")
  set(wine_skip_reason "the ${wine_bits}-bit Windows suites are skipped as asked (ERILAISETRIVIT_WINE_RUN=no)")
elseif(NOT EXISTS ${wine_loader})
  # Set-up leaves a note where it could not install the 32-bit packages.
  set(setup_note_file ${PROJECT_SOURCE_DIR}/build/setup/foreign-packages.txt)
  set(setup_note "")
  if(wine_bits EQUAL 32 AND EXISTS ${setup_note_file})
    file(STRINGS ${setup_note_file} setup_note LIMIT_COUNT 1)
    set(setup_note ", since ${setup_note}")
  endif()
  set(wine_skip_reason "${wine_loader} is not installed${setup_note}: the ${wine_bits}-bit Windows suites are skipped")
else()
  execute_process(COMMAND ${wine_loader} --version
                  RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
  if(NOT wine_status EQUAL 0)
    set(wine_skip_reason
        "this machine runs no ${wine_bits}-bit programs (${wine_loader} does not start): the ${wine_bits}-bit Windows suites are skipped")
  endif()
endif()

set(wine_skip_file ${CMAKE_BINARY_DIR}/wine-skipped.txt)
if(wine_skip_reason STREQUAL "")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh ${wine_loader} ${CMAKE_BINARY_DIR}/wineprefix)
  file(REMOVE ${wine_skip_file})
else()
  message(STATUS "${wine_skip_reason}")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/skip-test.sh "${wine_skip_reason}")
  file(WRITE ${wine_skip_file} "${wine_skip_reason}\n")
endif()
