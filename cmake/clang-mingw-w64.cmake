# Clang and lld cross toolchain for both Windows targets, on the -posix MinGW-w64 GCC's runtime; MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_TRIPLE})
# Debian ships llvm-windres only under a versioned name; binutils' windres is the one the GCC build uses.
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
# The program-file check reads objdump's output in binutils' layout, which llvm-objdump does not print.
find_program(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump)

# Clang brings no C++ library for MinGW: it uses the -posix GCC's libstdc++, libgcc and crtbegin.o,
# found through that GCC so that any installed version serves. The -posix runtime needs winpthread.
execute_process(COMMAND ${MINGW_TRIPLE}-gcc-posix -print-libgcc-file-name
    OUTPUT_VARIABLE mingw_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE mingw_gcc_result)
get_filename_component(mingw_gcc_dir "${mingw_libgcc}" DIRECTORY)
if(NOT mingw_gcc_result EQUAL 0 OR NOT EXISTS "${mingw_gcc_dir}/include/c++/${MINGW_TRIPLE}/bits/c++config.h")
    message(FATAL_ERROR "${MINGW_TRIPLE}-gcc-posix with its libstdc++ not found: clang needs its C++ library "
        "(Debian packages g++-mingw-w64-${MINGW_DEBIAN_ARCH}-posix)")
endif()

# The sysroot keeps the host's /usr/include and /usr/lib out of a Windows build.
set(CMAKE_SYSROOT /usr/${MINGW_TRIPLE})
set(CMAKE_CXX_FLAGS_INIT "-stdlib++-isystem ${mingw_gcc_dir}/include/c++ -stdlib++-isystem ${mingw_gcc_dir}/include/c++/${MINGW_TRIPLE} -stdlib++-isystem ${mingw_gcc_dir}/include/c++/backward")
set(mingw_link_flags "-fuse-ld=lld -B${mingw_gcc_dir} -L${mingw_gcc_dir} -pthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${mingw_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${mingw_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${mingw_link_flags}")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
