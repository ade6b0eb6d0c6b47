# ravelin_read_resource_list(<list file> <generator folder> <out var>)
# The lines of a resource list ("<type> <id> <path>", paths relative to the source tree, @GEN@
# for the content generator's output folder, '#' starts a comment) as a flat list of triples:
# type, id, absolute path.
function(ravelin_read_resource_list list gendir out)
  file(STRINGS ${list} lines)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  set(entries "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" parts "${line}")
    list(GET parts 0 type)
    list(GET parts 1 id)
    list(GET parts 2 path)
    string(REPLACE "@GEN@" "${gendir}" path "${path}")
    if(NOT IS_ABSOLUTE "${path}")
      set(path "${CMAKE_SOURCE_DIR}/${path}")
    endif()
    list(APPEND entries ${type} ${id} ${path})
  endforeach()
  set(${out} ${entries} PARENT_SCOPE)
endfunction()

# ravelin_embed_resources(TARGET <name> LIST <file> [GENDIR <dir>] [PREFIX <symbol prefix>] [DEPENDS <targets>])
# Builds an object library <name> that links the blobs named in LIST into the executable
# (assembler .incbin, read-only data) and a table mapping (type, id) to each byte range:
#   ravelin::ByteRange ravelin::<prefix>FindResource(std::string_view type, uint16_t id)
# LIST is a resource list as ravelin_read_resource_list reads it; GENDIR stands for @GEN@.
function(ravelin_embed_resources)
  cmake_parse_arguments(ER "" "TARGET;LIST;PREFIX;GENDIR" "DEPENDS" ${ARGN})
  if(NOT ER_PREFIX)
    set(ER_PREFIX "embedded")
  endif()
  ravelin_read_resource_list(${ER_LIST} "${ER_GENDIR}" entries)
  set(asm "")
  set(decls "")
  set(rows "")
  set(files "")
  set(n 0)
  # ELF and PE/COFF spell read-only data differently; 32-bit Windows prefixes C symbols with "_".
  set(section_flags "a")
  set(label_prefix "")
  if(WIN32)
    set(section_flags "dr")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(label_prefix "_")
    endif()
  endif()
  while(entries)
    list(POP_FRONT entries type id path)
    list(APPEND files "${path}")
    set(sym "ravelin_${ER_PREFIX}_${n}")
    set(asym "${label_prefix}${sym}")
    string(APPEND asm "  .section .rodata.${sym},\"${section_flags}\"\n  .balign 16\n  .globl ${asym}\n${asym}:\n  .incbin \"${path}\"\n  .globl ${asym}_end\n${asym}_end:\n  .byte 0\n")
    string(APPEND decls "extern \"C\" const unsigned char ${sym}[];\nextern \"C\" const unsigned char ${sym}_end[];\n")
    string(APPEND rows "    {\"${type}\", ${id}, ${sym}, ${sym}_end},\n")
    math(EXPR n "${n} + 1")
  endwhile()
  if(NOT WIN32)
    string(APPEND asm "  .section .note.GNU-stack,\"\",@progbits\n")
  endif()
  set(outdir ${CMAKE_CURRENT_BINARY_DIR}/${ER_TARGET})
  file(MAKE_DIRECTORY ${outdir})
  file(CONFIGURE OUTPUT ${outdir}/blobs.S CONTENT "${asm}")
  if(n EQUAL 0)
    set(rows "    {\"\", 0, nullptr, nullptr},\n")
  endif()
  file(CONFIGURE OUTPUT ${outdir}/table.cpp CONTENT
"// Generated from ${ER_LIST}: do not edit.
#include <cstdint>
#include <string_view>
#include \"platform/platform.h\"
${decls}
namespace ravelin {
namespace {
struct Row { const char* type; uint16_t id; const unsigned char* begin; const unsigned char* end; };
const Row kRows[] = {
${rows}};
bool sameType(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}
}  // namespace
ByteRange ${ER_PREFIX}FindResource(std::string_view type, uint16_t id) {
    for (const Row& row : kRows)
        if (row.begin && row.id == id && sameType(row.type, type))
            return {row.begin, static_cast<size_t>(row.end - row.begin)};
    return {};
}
}  // namespace ravelin
" @ONLY)
  add_library(${ER_TARGET} OBJECT ${outdir}/blobs.S ${outdir}/table.cpp)
  target_include_directories(${ER_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  set_source_files_properties(${outdir}/blobs.S PROPERTIES OBJECT_DEPENDS "${files}")
  if(ER_DEPENDS)
    add_dependencies(${ER_TARGET} ${ER_DEPENDS})
  endif()
endfunction()
