# textstring_warnings(target): the project's warning set, kept private to
# the target so that consumers choose their own.
function(textstring_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()

# textstring_code_options(target): how the system's own code is compiled.
# It throws and catches nothing, so it carries no exception support; for
# Windows it is also laid out so that the linker can drop what setup.exe
# does not use (the program must stay small).
function(textstring_code_options target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -fno-exceptions)
    if(WIN32)
      target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections
                                               -fno-asynchronous-unwind-tables)
    endif()
  endif()
endfunction()
