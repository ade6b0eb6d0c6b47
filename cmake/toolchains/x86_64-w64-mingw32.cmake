# Cross toolchain for 64-bit Windows (also the build the tests run under wine64).
set(RAVELIN_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
