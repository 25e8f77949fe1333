# kestrel_embed_resources(TARGET TYPE NAME FILE [NAME FILE ...]): embeds each FILE in TARGET as a
# resource of TYPE named NAME, found at run time through platform/system/resource.h. Each file becomes a
# generated source holding its bytes and a registrar object that adds the resource to the program's
# module during static initialisation. Executables must link TARGET directly (an OBJECT library or
# the executable itself), so the linker keeps the registrars.
set(KESTREL_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

function(kestrel_embed_resources target type)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "kestrel_embed_resources: give NAME FILE pairs")
  endif()
  while(pairs)
    list(POP_FRONT pairs name file)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}_${name}.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${out} -DTYPE=${type} -DNAME=${name}
              -P ${KESTREL_EMBED_SCRIPT}
      DEPENDS ${file} ${KESTREL_EMBED_SCRIPT}
      COMMENT "Embedding ${name} (${type})"
      VERBATIM)
    target_sources(${target} PRIVATE ${out})
  endwhile()
  target_link_libraries(${target} PUBLIC platform_system)
endfunction()

# kestrel_window_definitions(TARGET NAME SOURCE [NAME SOURCE ...]): compiles each window definition
# SOURCE (a .windef text) with the resource compiler and embeds the container in TARGET as a
# DABDUMP resource named NAME, where the runtime's definition lookup finds it.
function(kestrel_window_definitions target)
  set(pairs ${ARGN})
  set(embedded)
  while(pairs)
    list(POP_FRONT pairs name source)
    set(binary ${CMAKE_CURRENT_BINARY_DIR}/${name}.bin)
    add_custom_command(OUTPUT ${binary}
      COMMAND tamsil-rc ${source} -o ${binary}
      DEPENDS tamsil-rc ${source}
      COMMENT "Compiling window definitions ${source}"
      VERBATIM)
    list(APPEND embedded ${name} ${binary})
  endwhile()
  kestrel_embed_resources(${target} DABDUMP ${embedded})
endfunction()
