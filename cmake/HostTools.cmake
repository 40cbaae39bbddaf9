# resources/texts.h, the names of the launcher's texts, is written by the
# text table compiler from resources/texts.txt: natively by the tool of this
# tree, in the Windows tree by the host tool. Code that includes it goes
# through kvl_uses_text_names(target), so that the header exists before
# that code compiles.
set(KVL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
include_directories(${KVL_GENERATED_DIR})

if(KVL_FUZZ)
  # The fuzz targets drive the Win32-free cores, which take their texts as
  # arguments and never name one.
  function(kvl_uses_text_names target)
  endfunction()
  return()
endif()

set(KVL_TEXT_NAMES ${KVL_GENERATED_DIR}/resources/texts.h)
if(WIN32)
  set(KVL_MKTEXTTABLE ${KVL_HOST_TOOLS}/mktexttable)
  set(KVL_MKTEXTTABLE_DEPENDS ${KVL_HOST_TOOLS}/mktexttable)
else()
  set(KVL_MKTEXTTABLE $<TARGET_FILE:mktexttable>)
  set(KVL_MKTEXTTABLE_DEPENDS mktexttable)
endif()
file(MAKE_DIRECTORY ${KVL_GENERATED_DIR}/resources)
add_custom_command(OUTPUT ${KVL_TEXT_NAMES}
  COMMAND ${KVL_MKTEXTTABLE} --names ${CMAKE_SOURCE_DIR}/resources/texts.txt ${KVL_TEXT_NAMES}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/texts.txt ${KVL_MKTEXTTABLE_DEPENDS}
  COMMENT "Naming the texts")
add_custom_target(kvl_text_names DEPENDS ${KVL_TEXT_NAMES})

function(kvl_uses_text_names target)
  add_dependencies(${target} kvl_text_names)
endfunction()
