# textstring_warnings(target): the project's warning set, kept private to
# the target so that consumers choose their own.
function(textstring_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()
