# WebAssembly for the page: Debian's clang for wasm32 on Debian's wasi-libc and wasm32 libc++.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Only LLVM's archiver indexes WebAssembly objects: GNU ar, which CMake falls back on, leaves the
# archives without the symbol index wasm-ld needs.
find_program(CMAKE_AR llvm-ar)
find_program(CMAKE_RANLIB llvm-ranlib)
if(NOT CMAKE_AR OR NOT CMAKE_RANLIB)
    message(FATAL_ERROR "llvm-ar and llvm-ranlib not found: install the Debian package llvm (scripts/install-deps web does)")
endif()
