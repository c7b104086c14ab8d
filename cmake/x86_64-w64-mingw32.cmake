# The same sources for 64-bit Windows, with the g++-mingw-w64-x86-64 package:
# the build that the Windows test suite runs under 64-bit Wine.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
