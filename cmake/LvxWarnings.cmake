# Warnings are errors in every target of the project.
function(lvx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
