# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix threads, for
# std::thread and std::mutex). Everything is linked statically, so the
# programs run without the compiler's DLLs beside them.
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
# Windows 10 APIs (LCMapStringEx, SHGetKnownFolderPath, FindFirstFileExW flags).
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE)

# Tests run under Wine when ctest starts them.
find_program(BRIMMARK_WINE NAMES wine wine64)
if(BRIMMARK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRIMMARK_WINE})
endif()
