# 64-bit Windows built with clang: a second compiler's view of the same sources.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_ARCH AMD64)
set(MINGW_DEBIAN_ARCH x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw-w64.cmake)
