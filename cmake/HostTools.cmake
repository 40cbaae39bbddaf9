# The host tools make the build's data: mktexttable compiles the texts of
# resources/texts.txt, artgen draws the pictures and ppk packs the artbook.
# A cross build runs the native tools of KVL_HOST_TOOLS; any other tree runs
# the ones it builds itself in tools/ (natively on Linux, or on Windows in
# MSYS2).
set(KVL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(KVL_TEXTS_SOURCE ${CMAKE_SOURCE_DIR}/resources/texts.txt)

if(KVL_FUZZ)
  # The fuzz targets drive the Win32-free cores, which take their texts as
  # arguments and never name one, and the fuzz tree builds no tools.
  return()
endif()

# kvl_host_tool(NAME): KVL_<NAME> is the command that runs the tool and
# KVL_<NAME>_DEPENDS what a custom command running it depends on. A cross
# build without native tools runs its own through the emulator (Wine).
function(kvl_host_tool name)
  string(TOUPPER ${name} var)
  if(KVL_HOST_TOOLS)
    set(KVL_${var} ${KVL_HOST_TOOLS}/${name} PARENT_SCOPE)
    set(KVL_${var}_DEPENDS ${KVL_HOST_TOOLS}/${name} PARENT_SCOPE)
  else()
    set(run $<TARGET_FILE:${name}>)
    if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
      set(run ${CMAKE_CROSSCOMPILING_EMULATOR} ${run})
    endif()
    set(KVL_${var} ${run} PARENT_SCOPE)
    set(KVL_${var}_DEPENDS ${name} PARENT_SCOPE)
  endif()
endfunction()
kvl_host_tool(mktexttable)
kvl_host_tool(artgen)

# kvl_text_table(OUTPUT [NAMES]): runs the text table compiler on
# resources/texts.txt, writing the binary table of the resources, or with
# NAMES the header of the texts' names (resources/texts.h).
function(kvl_text_table output)
  if(ARGN STREQUAL "NAMES")
    set(option --names)
    set(comment "Naming the texts")
  else()
    set(option)
    set(comment "Compiling the text table")
  endif()
  get_filename_component(dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${output}
    COMMAND ${KVL_MKTEXTTABLE} ${option} ${KVL_TEXTS_SOURCE} ${output}
    DEPENDS ${KVL_TEXTS_SOURCE} ${KVL_MKTEXTTABLE_DEPENDS}
    COMMENT ${comment})
endfunction()

# The names of the texts, resources/texts.h in the build tree. Code that
# includes it links kvl_text_names, which makes the header before that code
# compiles: every Win32 library through common_win, and the native tests.
kvl_text_table(${KVL_GENERATED_DIR}/resources/texts.h NAMES)
add_custom_target(kvl_text_names_header DEPENDS ${KVL_GENERATED_DIR}/resources/texts.h)
add_library(kvl_text_names INTERFACE)
target_include_directories(kvl_text_names INTERFACE ${KVL_GENERATED_DIR})
add_dependencies(kvl_text_names kvl_text_names_header)
