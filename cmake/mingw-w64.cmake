# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix threads, for
# std::thread and std::mutex). Everything is linked statically, so the
# programs run without the compiler's DLLs beside them. The libraries come
# from the prefix scripts/windows-libraries builds from Debian's sources, and
# are found there as the Linux build finds Debian's own: find_package and
# pkg-config, which reads only the prefix's descriptions, whole (--static).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT BRIMMARK_MINGW_PREFIX)
  if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(BRIMMARK_MINGW_PREFIX $ENV{XDG_CACHE_HOME}/brimmark/mingw-w64/prefix)
  else()
    set(BRIMMARK_MINGW_PREFIX $ENV{HOME}/.cache/brimmark/mingw-w64/prefix)
  endif()
endif()
set(BRIMMARK_MINGW_PREFIX ${BRIMMARK_MINGW_PREFIX} CACHE PATH
  "The libraries built for the target (scripts/windows-libraries)")
set(CMAKE_FIND_ROOT_PATH ${BRIMMARK_MINGW_PREFIX} /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${BRIMMARK_MINGW_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine when ctest starts them.
find_program(BRIMMARK_WINE NAMES wine wine64)
if(BRIMMARK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRIMMARK_WINE})
endif()
