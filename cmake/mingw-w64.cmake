# Cross build of the module for 64-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The posix thread model: GoogleTest needs std::mutex, which the win32
# model lacks. The module uses no threads; the runtime is linked statically.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under wine where it is installed.
find_program(VQ_WINE NAMES wine64 wine)
if(VQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VQ_WINE})
endif()
# Programs carry their C and C++ runtimes, so they run without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
