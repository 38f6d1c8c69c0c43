# quorvane_warnings(<target>): the project's warning set, errors in CI.
function(quorvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion-null
    -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wformat=2)
  if(QUORVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
