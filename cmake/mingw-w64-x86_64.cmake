# Cross-compiling for 64-bit Windows from Linux with Debian's MinGW-w64 (posix threads, so
# std::thread and std::mutex work). Used by scripts/windows-toolchain (Qt) and the CMake
# preset "windows" (Orvida), through Qt's toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVIDA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVIDA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVIDA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVIDA_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${ORVIDA_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ORVIDA_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORVIDA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine (try_run, tests).
find_program(ORVIDA_WINE NAMES wine64 wine)
if(ORVIDA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVIDA_WINE})
endif()
