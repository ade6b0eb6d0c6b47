# Shared part of the mingw-w64 cross toolchains: include it after setting RAVELIN_MINGW_ARCH
# (i686 or x86_64). The posix thread model gives std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${RAVELIN_MINGW_ARCH})
set(RAVELIN_MINGW_TRIPLE ${RAVELIN_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${RAVELIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAVELIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RAVELIN_MINGW_TRIPLE}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Libraries and headers come from the mingw-w64 sysroot and from the folder of static
# dependencies that scripts/windows-deps.sh builds (RAVELIN_WINDOWS_DEPS); programs from the host.
set(RAVELIN_WINDOWS_DEPS "" CACHE PATH "Static Windows dependencies (scripts/windows-deps.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RAVELIN_WINDOWS_DEPS RAVELIN_MINGW_ARCH)
set(CMAKE_FIND_ROOT_PATH /usr/${RAVELIN_MINGW_TRIPLE} ${RAVELIN_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 32-bit code uses SSE2 arithmetic, as the 64-bit code does: both builds compute the same floats.
if(RAVELIN_MINGW_ARCH STREQUAL "i686")
  set(CMAKE_C_FLAGS_INIT "-mfpmath=sse -msse2")
  set(CMAKE_CXX_FLAGS_INIT "-mfpmath=sse -msse2")
endif()
