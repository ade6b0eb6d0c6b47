# Checks that the modules under src/ form a graph without cycles: a file includes headers of its
# own module or of lower ones only. Run by ctest (the module_graph test):
#   cmake -DSOURCE_DIR=<checkout>/src -P module_graph.cmake
# Bottom to top: the platform seam (src/platform itself), base, settings and assets, render,
# race, sound (with the audio library), app, then the shells (src/platform/<shell>/: sdl, gtk and
# linux on Linux, win32 on Windows), which may also use each other. Modules of the same rank do
# not include each other. The operating system's and window systems' own headers (Win32, POSIX,
# SDL, GTK, X11) belong to the shells alone: the rest is built for both systems unchanged.
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "module_graph.cmake needs -DSOURCE_DIR=<checkout>/src")
endif()

set(rank_platform 0)
set(rank_base 1)
set(rank_settings 2)
set(rank_assets 2)
set(rank_render 3)
set(rank_race 4)
set(rank_sound 5)
set(rank_app 6)
set(kShellRank 7)
# System headers only a shell may include (matched against the lower-case name).
set(kShellOnlyHeaders "^(windows|winbase|winuser|wingdi|winreg|shlobj|objbase|mmsystem|unistd|pwd|fcntl|dlfcn|pthread|signal)\\.h$|^(sys|x11|gtk|gdk|glib)/|^sdl[^/]*\\.h$|^gl/(glx|wgl)")

# The module of a path relative to src/: its first folder, or platform/<shell> for a shell.
function(module_of path out)
  string(REGEX MATCH "^([^/]+)/" top "${path}")
  set(top "${CMAKE_MATCH_1}")
  if(top STREQUAL "platform" AND path MATCHES "^platform/([^/]+)/")
    set(top "platform/${CMAKE_MATCH_1}")
  endif()
  set(${out} "${top}" PARENT_SCOPE)
endfunction()

function(rank_of module out)
  if(module MATCHES "^platform/")
    set(${out} ${kShellRank} PARENT_SCOPE)
  elseif(DEFINED rank_${module})
    set(${out} ${rank_${module}} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(violations "")
foreach(source IN LISTS sources)
  module_of("${source}" own)
  rank_of("${own}" ownRank)
  if(ownRank STREQUAL "")
    string(APPEND violations "\n  ${source}: in no known module (add its folder to the graph)")
    continue()
  endif()
  if(NOT ownRank EQUAL kShellRank)
    file(STRINGS "${SOURCE_DIR}/${source}" systemIncludes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
    foreach(line IN LISTS systemIncludes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*$" "\\1" header "${line}")
      string(TOLOWER "${header}" lower)
      if(lower MATCHES "${kShellOnlyHeaders}")
        string(APPEND violations "\n  ${source} (${own}) includes <${header}>: a system header for the shells only")
      endif()
    endforeach()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    if(NOT header MATCHES "/")
      continue()  # beside the including file: its own module
    endif()
    module_of("${header}" theirs)
    if(theirs STREQUAL own)
      continue()
    endif()
    rank_of("${theirs}" theirRank)
    if(theirRank STREQUAL "")
      string(APPEND violations "\n  ${source} includes ${header}: not a module of src/")
    elseif(ownRank EQUAL kShellRank AND theirRank EQUAL kShellRank)
      continue()  # the shells may use each other
    elseif(NOT theirRank LESS ownRank)
      string(APPEND violations "\n  ${source} (${own}) includes ${header} (${theirs}): not a lower module")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Module graph broken:${violations}")
endif()
list(LENGTH sources count)
message(STATUS "Module graph: ${count} files, every include goes to its own or a lower module")
