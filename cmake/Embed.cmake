# Data files (templates, grammars) are compiled into the binary so the programs
# need nothing beside themselves at run time. Keys are paths relative to the
# source tree, e.g. "templates/LabBarkod3050.xml".
function(zentavo_embed output)
  set(files ${ARGN})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            "-DFILES=${files}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/EmbedGenerate.cmake
    COMMENT "Embedding data files"
    VERBATIM)
endfunction()
