# Cross build of real Windows x86_64 binaries with mingw-w64; every binary
# that CMake or CTest runs goes through Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(TARVELO_WIDL_TARGET --win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
