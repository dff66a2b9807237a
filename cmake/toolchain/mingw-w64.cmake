# Cross-building the core and tessaline-cli for 64-bit Windows with Debian's
# mingw-w64 (the POSIX thread model, for std::thread and std::mutex), and
# running what was built under wine. Use:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESS_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TESS_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes into each program, so that a .exe runs from any folder
# (and under wine) without its DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TESS_WINE NAMES wine wine64)
if(TESS_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESS_WINE})
endif()
