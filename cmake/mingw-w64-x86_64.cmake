# Cross build for Windows x86-64 with Debian's MinGW-w64 (the -posix thread
# flavour, which GoogleTest needs); tests run under Wine:
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: the GCC, C++ and thread run-times linked in,
# so that they import only the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The 64-bit loader itself: the `wine` wrapper would ask for 32-bit Wine.
find_program(D88CUT_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(D88CUT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${D88CUT_WINE})
endif()
