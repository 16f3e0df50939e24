# add_recording_installer(<target> <file name> <export name> <output folder>
#                         [definitions...]): one variant of the tests' recording
# installer library (tests/AdminExe/RecordingInstaller.cpp), built as
# <output folder>/<file name>.dll in both builds.
function(add_recording_installer target file_name export_name output_dir)
  add_library(${target} MODULE ${PROJECT_SOURCE_DIR}/tests/AdminExe/RecordingInstaller.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE RECORDING_EXPORT_NAME=${export_name} ${ARGN})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${file_name} SUFFIX ".dll"
    LIBRARY_OUTPUT_DIRECTORY ${output_dir}
    RUNTIME_OUTPUT_DIRECTORY ${output_dir})
  if(WIN32)
    # Copied on its own into folders of a Wine prefix: it must need nothing
    # but system DLLs (-static), and its stdcall export must be undecorated
    # for GetProcAddress to find it; the definition RECORDING_DECORATED keeps
    # the decoration (PreInstall@4), the mistake the debug trail points out.
    target_link_options(${target} PRIVATE -static)
    if(NOT "RECORDING_DECORATED" IN_LIST ARGN)
      target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
  endif()
  textstring_warnings(${target})
endfunction()
