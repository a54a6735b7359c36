# Cross-compiles Skarvel for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so
# std::thread and std::mutex exist) and runs the Windows programs through wine.
#
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/toolchain-mingw-w64.cmake
#
# Everything is linked statically: the plug-in DLL and the test programs need no MinGW runtime
# DLL beside them, only the system DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SKARVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SKARVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKARVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SKARVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SKARVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and GoogleTest's test discovery start the Windows programs through wine.
find_program(SKARVEL_WINE NAMES wine wine64)
if(SKARVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SKARVEL_WINE})
endif()

# pkg-config must not offer the build machine's Linux libraries to the Windows build.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${SKARVEL_MINGW_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
