# Cross-build for 64-bit Windows with MinGW-w64: the same sources as the
# disc's 32-bit programs, tested where the machine runs 64-bit code only.
set(KVL_MINGW_TARGET x86_64)
set(KVL_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
