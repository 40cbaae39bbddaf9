# Cross-build for 32-bit Windows with MinGW-w64: the tree the disc ships.
set(KVL_MINGW_TARGET i686)
set(KVL_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
