# Cross toolchain: Windows programs built with MinGW-w64 on Linux.
# VX_ARCH selects the flavour: i686 (the shipped 32-bit programs, default)
# or x86_64 (the same code as 64-bit programs, for machines whose kernel
# cannot run 32-bit code at all; see README).
# The -posix variants are required: the win32 thread model lacks std::thread,
# which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT VX_ARCH)
  set(VX_ARCH i686)
endif()
set(VX_ARCH ${VX_ARCH} CACHE STRING "i686 or x86_64")
set(CMAKE_SYSTEM_PROCESSOR ${VX_ARCH})

set(VX_TRIPLE ${VX_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${VX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VX_TRIPLE}-windres)
set(CMAKE_DLLTOOL      ${VX_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${VX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
