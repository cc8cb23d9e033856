# 32-bit Windows with MinGW-w64 GCC: the release target.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
