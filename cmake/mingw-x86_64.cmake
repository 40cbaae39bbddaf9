# Cross-build for 64-bit Windows with MinGW-w64 (posix threads variant:
# GoogleTest needs std::mutex): the same sources as the disc's 32-bit
# programs, tested where the machine runs 64-bit code only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under the 64-bit Wine in the project's 64-bit test prefix.
set(KVL_WINE_ARCH win64)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env KVL_WINE_ARCH=win64 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
