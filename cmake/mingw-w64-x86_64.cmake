# 64-bit Windows: the build whose behaviour is proven under Wine.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_ARCH AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

find_program(WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE64 NAMES wine64)
if(NOT WINE64)
    message(FATAL_ERROR "wine64 not found: the Windows tests run under Wine (Debian package wine64)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64})
