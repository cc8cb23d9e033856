# 32-bit Windows built with clang: a second compiler's view of the release target.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_ARCH x86)
set(MINGW_DEBIAN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw-w64.cmake)
