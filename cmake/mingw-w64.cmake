# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread and
# friends): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ... The programs and tests run
# under wine (scripts/windows-check).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LW_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${LW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LW_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime (libstdc++, libgcc, winpthread) goes into each executable, so that the .exe files
# run from any folder without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(LW_WINE NAMES wine64 wine)
if(LW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LW_WINE})
endif()
