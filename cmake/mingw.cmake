# The body of the MinGW-w64 cross toolchains (posix threads variant:
# GoogleTest needs std::mutex), for the target KVL_MINGW_TARGET (i686 or
# x86_64) whose programs run under Wine's KVL_WINE_ARCH (win32 or win64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KVL_MINGW_TARGET})
set(CMAKE_C_COMPILER ${KVL_MINGW_TARGET}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVL_MINGW_TARGET}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${KVL_MINGW_TARGET}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KVL_MINGW_TARGET}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under Wine in the project's test prefix of that tree.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env KVL_WINE_ARCH=${KVL_WINE_ARCH} ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
