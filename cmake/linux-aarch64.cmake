# Toolchain for the portable host on 64-bit ARM Linux: Debian's aarch64-linux-gnu cross
# compiler (its own C and C++ run-time) against an arm64 root of Debian's SDL2, libpng,
# libffi, X11, GoogleTest and Google Benchmark packages, made by cmake/aarch64-sysroot.sh in
# the source tree's build/ folder (HANOI_AARCH64_SYSROOT for another). Programs built here
# (the tests included) run under qemu-aarch64 with that root as their file-system prefix.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

if(DEFINED ENV{HANOI_AARCH64_SYSROOT})
  set(HANOI_AARCH64_SYSROOT $ENV{HANOI_AARCH64_SYSROOT})
else()
  get_filename_component(HANOI_AARCH64_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build/aarch64-sysroot
                         ABSOLUTE)
endif()
# Made on first use and again when its package lists change; otherwise the script returns
# at once (the toolchain file is read again for every compiler check).
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/aarch64-sysroot.sh ${HANOI_AARCH64_SYSROOT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake/aarch64-sysroot.sh could not make ${HANOI_AARCH64_SYSROOT}")
endif()

set(CMAKE_SYSROOT ${HANOI_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH ${HANOI_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# binfmt_misc may not know ARM programs: qemu is named, with the root for the loader and
# the shared libraries.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${HANOI_AARCH64_SYSROOT})
