# Cross build for Windows with Debian's MinGW-w64 compilers, for the target
# that MINGW_TRIPLE names (set by the toolchain file that includes this one).
# The -posix compilers have the posix thread model that std::mutex, and so
# GoogleTest, need.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go inside each program, so that it needs
# no DLL beyond the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
