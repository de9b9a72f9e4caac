# Cross-builds the Windows programs with MinGW-w64 (64-bit, POSIX threads).
# The POSIX-threads compiler matters: with the win32-threads one the standard
# library has no <mutex>, and Boost.Regex is then no longer header-only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SORREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SORREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SORREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SORREL_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SORREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests and build-time tools run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
