# Cross build for 64-bit Windows with Debian's mingw-w64 compiler (posix thread model, so that
# std::thread and std::mutex are there). Without Qt the programs link their runtime statically: a
# test program or a tool then runs from its folder with no compiler DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(velta_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${velta_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${velta_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${velta_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${velta_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's DLLs share one C++ runtime (libstdc++-6.dll and its two companions); the Qt build and
# every program that loads them link it as a DLL too, so that one process has one runtime.
option(VELTA_MINGW_SHARED_RUNTIME "Link the compiler's runtime as DLLs (for Qt and the programs using it)" OFF)
if(NOT VELTA_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
  # A DLL exports its own functions only, never those of the runtime linked into it.
  set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,ALL")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELTA_MINGW_SHARED_RUNTIME)

# CTest runs the test programs through Wine when it is there (Debian keeps wine64 out of PATH).
find_program(VELTA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELTA_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELTA_WINE64})
endif()
