# The Windows build's libraries: the static ones scripts/windows-deps.sh builds into
# RAVELIN_WINDOWS_DEPS (found through the toolchain's root path) and the system's own DLLs.
# They get the target names the Linux build gets from find_package and pkg-config, so the
# module lists name each library one way for both systems.
if(NOT EXISTS "${RAVELIN_WINDOWS_DEPS}/.complete")
  message(FATAL_ERROR "RAVELIN_WINDOWS_DEPS (${RAVELIN_WINDOWS_DEPS}) holds no finished build of the "
                      "Windows dependencies: run scripts/windows-deps.sh and pass its --print-dir folder")
endif()
if(NOT RAVELIN_GENERATED_DIR)
  message(FATAL_ERROR "The Windows build embeds the content a Linux build generated: set "
                      "RAVELIN_GENERATED_DIR to that build's generated folder")
endif()
enable_language(RC)

# Every executable and DLL carries its C and C++ runtime (and winpthread): nothing but the
# system's DLLs is needed to run them.
# Release binaries are stripped.
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release,MinSizeRel>:-s>)
# M_PI and friends are behind this switch in the C runtime's headers when compiling strict C++.
add_compile_definitions(_USE_MATH_DEFINES)

# Static archives only: the sysroot also has import libraries (zlib's libz.dll.a) of DLLs that
# Windows does not have.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
find_package(Threads REQUIRED)
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)

function(ravelin_windows_library name)
  cmake_parse_arguments(L "" "" "LIBS;SYSTEM;DEFINES" ${ARGN})
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set(files "")
  foreach(lib IN LISTS L_LIBS)
    find_library(RAVELIN_LIB_${lib} NAMES ${lib} REQUIRED NO_DEFAULT_PATH PATHS ${RAVELIN_WINDOWS_DEPS}/lib
                 NO_CMAKE_FIND_ROOT_PATH)
    list(APPEND files ${RAVELIN_LIB_${lib}})
  endforeach()
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${RAVELIN_WINDOWS_DEPS}/include
    INTERFACE_LINK_LIBRARIES "${files};${L_SYSTEM}"
    INTERFACE_COMPILE_DEFINITIONS "${L_DEFINES}")
endfunction()

# OpenGL 1.x and GLU come with the system.
ravelin_windows_library(OpenGL::GL SYSTEM opengl32)
ravelin_windows_library(PkgConfig::GLU SYSTEM glu32)
ravelin_windows_library(PkgConfig::VORBIS LIBS vorbisfile vorbisenc vorbis ogg)
# The audio library's DLL (src/sound/audio), which the screensaver's resource script embeds.
set(RAVELIN_AUDIO_DLL ${CMAKE_BINARY_DIR}/src/sound/audio/ravelin_audio.dll)
# OpenAL Soft, linked into the audio library's DLL only.
ravelin_windows_library(PkgConfig::OPENAL LIBS OpenAL32
                        SYSTEM winmm ole32 avrt shell32 uuid DEFINES AL_LIBTYPE_STATIC)
