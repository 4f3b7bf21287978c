# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 toolchain: only
# the 64-bit build of the tray program, to show that the shell takes the
# icons of 64-bit programs as well.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
