# setup_build_date(<out-source-date> <out-build-date>): the dates of the build
# identification, from SOURCE_DATE_EPOCH when set, else from the last commit,
# else 1970-01-01: never from the clock, so builds are reproducible.
function(setup_build_date out_source out_build)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    find_package(Git QUIET)
    if(GIT_FOUND)
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                      ERROR_QUIET RESULT_VARIABLE git_result)
      if(NOT git_result EQUAL 0)
        set(epoch "")
      endif()
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch 0)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})  # string(TIMESTAMP) honours it
  string(TIMESTAMP source_date "%Y-%m-%d" UTC)
  string(TIMESTAMP build_date "%Y-%m-%d %H:%M:%S UTC" UTC)
  set(${out_source} ${source_date} PARENT_SCOPE)
  set(${out_build} ${build_date} PARENT_SCOPE)
endfunction()
