# Cross-builds glassform.exe for 64-bit Windows with Debian's MinGW-w64 (POSIX threads):
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
# The program is linked statically, so it runs without extra DLLs; under wine
# (/usr/lib/wine/wine64) on Linux, or on Windows itself.
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

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The cross compiler does not search /usr/include, where the header-only CLI11, nlohmann-json
# and fmt live; the project links their folders in from here.
set(GLASSFORM_HEADER_ONLY_ROOT /usr/include CACHE PATH
    "Folder holding the CLI/, nlohmann/ and fmt/ headers for a cross build")

if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
