# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers, in their posix thread model (std::thread and
# std::mutex need it). scripts/windows-qt builds Qt with this file; scripts/windows builds the station with it,
# chained behind the Qt build's own toolchain file, which adds Qt's prefix to the search paths.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BALDOVENAAR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BALDOVENAAR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BALDOVENAAR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BALDOVENAAR_MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages come from the MinGW sysroot (and Qt's prefix), never from the build
# machine; programs (moc, rcc, the compilers) from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${BALDOVENAAR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
