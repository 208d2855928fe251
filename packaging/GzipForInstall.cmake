# tamaruka_gzip(INPUT OUTPUT): compresses INPUT into OUTPUT at build time the way
# Debian wants installed documentation compressed (gzip -9n: no name, no time
# stamp, so the package is reproducible).
function(tamaruka_gzip input output)
  get_filename_component(name ${output} NAME)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n -c ${input} > ${output}
    DEPENDS ${input}
    COMMENT "Compressing ${name}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "compress_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
