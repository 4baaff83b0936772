# What the build makes its programs for, decided once here so that every
# other list file asks one variable instead of the toolchain's own hints:
#
#   ERILAISETRIVIT_TARGET  linux, windows or web (WebAssembly by emscripten,
#                          whose toolchain sets EMSCRIPTEN)
#   ERILAISETRIVIT_X86     true only where the programs run on an x86
#                          processor of their own: emscripten names one for
#                          its hosts' sake, yet WebAssembly has none of its
#                          instructions.
#
# Another system would add its name here and its files where the frame and
# the companion keep one per system.

if(EMSCRIPTEN)
  set(ERILAISETRIVIT_TARGET web)
elseif(WIN32)
  set(ERILAISETRIVIT_TARGET windows)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(ERILAISETRIVIT_TARGET linux)
else()
  message(FATAL_ERROR "erilaisetrivit builds for Linux, Windows and the web (emscripten), not ${CMAKE_SYSTEM_NAME}")
endif()

set(ERILAISETRIVIT_X86 FALSE)
if(NOT ERILAISETRIVIT_TARGET STREQUAL "web" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  set(ERILAISETRIVIT_X86 TRUE)
endif()

message(STATUS "erilaisetrivit target: ${ERILAISETRIVIT_TARGET}, x86: ${ERILAISETRIVIT_X86}")
