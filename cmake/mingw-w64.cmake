# What the two Windows toolchains share; each names its processor in
# MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first, then includes this file.
#
# The -posix compiler variants are used because the win32 thread model's
# standard library has no std::mutex, which GoogleTest needs. The runtime
# libraries are linked statically, so that the executables need no DLL beyond
# the system's own (KERNEL32, SHELL32, msvcrt).

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# winpthread comes in through libstdc++'s threads; -static keeps it out of
# the import table as well.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
