# Cross toolchain: 64-bit Windows programs built on Linux with MinGW-w64 (posix threads),
# run under Wine wherever CMake needs to execute a target (ctest, custom commands).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORLINDE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORLINDE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORLINDE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORLINDE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORLINDE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything links statically so that the shipped files need no DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ORLINDE_WINE NAMES wine wine64 PATHS /usr/bin /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ORLINDE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORLINDE_WINE})
endif()
