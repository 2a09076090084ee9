# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, which the standard library's threads and clocks need).
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RM460_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${RM460_MINGW_TRIPLE}-gcc-posix ${RM460_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${RM460_MINGW_TRIPLE}-g++-posix ${RM460_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${RM460_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RM460_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs and test discovery run the Windows executables under Wine.
find_program(RM460_WINE NAMES wine wine64)
if(RM460_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RM460_WINE})
endif()
