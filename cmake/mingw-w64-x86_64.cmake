# 64-bit Windows with MinGW-w64 GCC.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_ARCH AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
