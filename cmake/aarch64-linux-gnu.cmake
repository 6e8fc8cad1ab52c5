# Cross build for Linux on 64-bit ARM (aarch64) with Debian's cross
# compilers; programs and tests run under qemu-user:
#   cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# The target's libraries and headers: Debian's cross packages keep them here.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# qemu-user runs the build's own programs and the tests, loading the
# target's C library from the cross packages' folder. The library path
# keeps it there: where dpkg also has the target's libc6 (multiarch, which
# the arm64 packages' dependency is computed from), the host's loader cache
# would otherwise pair that libc with the cross packages' loader, and a
# forked process hangs.
find_program(D88CUT_QEMU NAMES qemu-aarch64-static qemu-aarch64)
if(D88CUT_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${D88CUT_QEMU} -L /usr/aarch64-linux-gnu
    -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib)
endif()
