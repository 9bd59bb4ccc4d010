# Cross-building rowwright.exe for 64-bit Windows on Debian with mingw-w64
# (x86_64-w64-mingw32, posix threads):
#   cmake -S . -B build-win64 -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RW_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${RW_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RW_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${RW_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RW_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static program: the C++ and threads runtimes go into the .exe, which then
# imports only the system's DLLs. FindODBC links odbc32 between -Bstatic and
# -Bdynamic; without this the link would end dynamic and pull in
# libstdc++-6.dll after all.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_LINK_SEARCH_END_STATIC ON)

# Tests and the build's own checks run the programs under Wine.
find_program(RW_WINE wine)
if(RW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RW_WINE})
endif()
