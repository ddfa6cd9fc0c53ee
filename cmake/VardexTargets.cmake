# Shared settings for every target that is our own code.
function(vx_our_code target)
  target_compile_definitions(${target} PRIVATE ${VX_DEFINES})
  target_compile_options(${target} PRIVATE ${VX_WARNINGS})
endfunction()

function(vx_gui_program target)
  vx_our_code(${target})
  target_link_options(${target} PRIVATE ${VX_STATIC_LINK} -mwindows)
endfunction()
