# tolvane_help_file(OUTPUT_DIR): the target tolvane_help_file compiles the help file
# Tolvane.chm from docs/help into OUTPUT_DIR, beside the program, where it looks for it.
# ("help" itself is a reserved target name with Makefiles.)
function(tolvane_help_file output_dir)
  find_program(CHMCMD chmcmd REQUIRED)
  set(help_dir ${TOLVANE_SOURCE_DIR}/docs/help)
  file(GLOB help_sources CONFIGURE_DEPENDS ${help_dir}/*)
  set(stage ${CMAKE_BINARY_DIR}/help-sources)
  add_custom_command(OUTPUT ${output_dir}/Tolvane.chm
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${help_dir} ${stage}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CHMCMD} --verbosity 1 Tolvane.hhp
    COMMAND ${CMAKE_COMMAND} -E copy ${stage}/Tolvane.chm ${output_dir}/Tolvane.chm
    DEPENDS ${help_sources}
    COMMENT "Compiling the help file Tolvane.chm")
  add_custom_target(tolvane_help_file ALL DEPENDS ${output_dir}/Tolvane.chm)
endfunction()
