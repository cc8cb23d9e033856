# 32-bit Windows: the release target; built and checked, not run, since this host has no 32-bit support.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
