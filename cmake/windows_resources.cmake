# ravelin_windows_rc(OUTPUT <file.rc> LIST <resources.list> GENDIR <dir> [EXTRA <type> <id> <path> ...]
#                    [INCLUDE <file.rc> ...])
# Writes the resource script of the Windows screensaver: every blob of LIST (the list the Linux
# build embeds with .incbin, read by ravelin_read_resource_list), the EXTRA triples (absolute
# paths), the hand-written scripts of INCLUDE (dialog templates), a version resource and the name
# the Screen Saver settings list shows (string 1). Sets <OUTPUT>_FILES in the caller to the files
# it reads.
function(ravelin_windows_rc)
  cmake_parse_arguments(RC "" "OUTPUT;LIST;GENDIR" "EXTRA;INCLUDE" ${ARGN})
  ravelin_read_resource_list(${RC_LIST} "${RC_GENDIR}" entries)
  list(APPEND entries ${RC_EXTRA})
  set(body "")
  set(files "")
  while(entries)
    list(POP_FRONT entries type id path)
    list(APPEND files "${path}")
    # BITMAP and ICON are the system's own types; any other word is a named type, stored in
    # upper case (the lookup folds case).
    string(APPEND body "${id} ${type} \"${path}\"\n")
  endwhile()
  foreach(script ${RC_INCLUDE})
    list(APPEND files "${script}")
    string(APPEND body "#include \"${script}\"\n")
  endforeach()

  set(v ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0)
  set(vs ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
  string(APPEND body "
STRINGTABLE
BEGIN
  1 \"Ravelin\"
END

1 VERSIONINFO
FILEVERSION ${v}
PRODUCTVERSION ${v}
FILEFLAGSMASK 0x3F
FILEFLAGS 0
FILEOS 0x40004
FILETYPE 1
FILESUBTYPE 0
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"040904B0\"
    BEGIN
      VALUE \"FileDescription\", \"Ravelin screensaver\"
      VALUE \"FileVersion\", \"${vs}\"
      VALUE \"InternalName\", \"ravelin\"
      VALUE \"OriginalFilename\", \"ravelin.scr\"
      VALUE \"ProductName\", \"Ravelin\"
      VALUE \"ProductVersion\", \"${vs}\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x409, 1200
  END
END
")
  file(GENERATE OUTPUT ${RC_OUTPUT} CONTENT "// Generated from ${RC_LIST}: do not edit.\n${body}")
  set(${RC_OUTPUT}_FILES ${files} PARENT_SCOPE)
endfunction()
