# Cross-compiling for Windows x86-64 with Debian's MinGW-w64 (the posix thread model, whose C++
# library has std::thread and std::mutex), running the built programs under Wine.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake ...
# KESTROVA_MINGW_PREFIX names the folder of the libraries built for MinGW (GMP, MPFR, GoogleTest);
# scripts/cross-windows.sh makes it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix CACHE FILEPATH "")

# Static programs by default: Wine then needs no copies of libstdc++, libgcc and winpthread DLLs on
# its path. With Qt's DLLs, which use the runtime's DLLs, a program uses those too
# (KESTROVA_MINGW_STATIC_RUNTIME=OFF): one C++ runtime in the process, not two that each keep their
# own heap, exception handling and thread state.
if(NOT DEFINED KESTROVA_MINGW_STATIC_RUNTIME)
  set(KESTROVA_MINGW_STATIC_RUNTIME ON)
endif()
if(KESTROVA_MINGW_STATIC_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Debian's wine64 package has the 64-bit loader only, outside PATH; the wine command comes with the
# 32-bit half, which a 64-bit program does not need.
set(KESTROVA_WINE /usr/lib/wine/wine64 CACHE FILEPATH "The Wine loader that runs the built programs")
set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTROVA_WINE})

# Libraries and headers come from MinGW's own root and the prefix, never from the host's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${KESTROVA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The prefix is a variable of the configure; try_compile projects need it too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTROVA_MINGW_PREFIX KESTROVA_WINE
     KESTROVA_MINGW_STATIC_RUNTIME)
