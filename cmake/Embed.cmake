# Data files (templates, grammars) are compiled into the binary so the programs
# need nothing beside themselves at run time. Keys are paths relative to the
# source tree, e.g. "templates/LabBarkod3050.xml"; each layer's files come
# from a function of their own (platform/Embedded.h).
function(zentavo_embed output function)
  set(files ${ARGN})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DFUNCTION=${function}
            "-DFILES=${files}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
    COMMENT "Embedding data files (${function})"
    VERBATIM)
endfunction()
