# Cross build of real Windows x86 (32-bit) binaries with mingw-w64; every
# binary that CMake or CTest runs goes through Wine (its 32-bit half,
# Debian's wine32:i386).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(TARVELO_WIDL_TARGET --win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
