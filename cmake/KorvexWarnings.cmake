# Warnings are errors in the project's own targets (not in the libraries we include).
function(korvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
