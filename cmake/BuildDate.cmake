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

# setup_source_state(<out-state>): "; modified" when a tracked file differs
# from the last commit as the build is configured, else empty. A build of a
# modified tree says so in its identification, so that nobody takes it for
# its commit's program; `make release` configures afresh every time, so a
# release's stamp tells the truth even when a developer's own build folder
# was configured before an edit.
function(setup_source_state out_state)
  set(state "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} status --porcelain --untracked-files=no
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE changed ERROR_QUIET RESULT_VARIABLE git_result)
    if(git_result EQUAL 0 AND NOT changed STREQUAL "")
      set(state "; modified")
    endif()
  endif()
  set(${out_state} "${state}" PARENT_SCOPE)
endfunction()
