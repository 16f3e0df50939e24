# A pinned test release for the end-to-end tests and the Windows test kit,
# in <this build folder>/pinned-release: a package made of the pinned-package
# libraries (PinnedPackage.cpp) and a data file in a subfolder, and a
# setup.exe built from the same sources as the shipped one with that
# package's pin list. The package:
#   dropnestlib.dll           the installer library (e2e-pinned-library.dll)
#   e2e-static-companion.dll  a companion it imports
#   e2e-companion.dll         a companion it loads by bare name (the recording library)
#   drivers\net.inf           a data file
# Unsigned: a signature changes nothing that setup.exe checks, and building
# must not need a key; `make test-release` runs the same tests on a signed
# release of the same package.
set(_pinned_package ${CMAKE_CURRENT_BINARY_DIR}/pinned-package)
set(_pinned_release ${CMAKE_CURRENT_BINARY_DIR}/pinned-release)
set(_pinned_list ${CMAKE_CURRENT_BINARY_DIR}/pinned-package.pins)
set(_net_inf ${CMAKE_CURRENT_BINARY_DIR}/pinned-net.inf)
file(WRITE ${_net_inf} "[Version]\r\nSignature=\"$Windows NT$\"\r\n")

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${_pinned_list}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_pinned_package}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_pinned_package}/drivers
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:e2e_pinned_library>
          ${_pinned_package}/dropnestlib.dll
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:e2e_static_companion> ${_pinned_package}/
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:e2e_recording>
          ${_pinned_package}/e2e-companion.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${_net_inf} ${_pinned_package}/drivers/net.inf
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/pin_list.py make ${_pinned_package}
          ${_pinned_list}
  DEPENDS e2e_pinned_library e2e_static_companion e2e_recording ${_net_inf}
          ${PROJECT_SOURCE_DIR}/tools/pin_list.py
  COMMENT "Pinning the test package"
  VERBATIM)

setup_executable(setup-pinned-test 0 PIN_LIST ${_pinned_list})

# The release folder is made afresh from the package that was pinned, so it
# holds exactly what the list describes.
add_custom_command(
  OUTPUT ${_pinned_release}/setup.exe
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_pinned_release}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${_pinned_package} ${_pinned_release}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup-pinned-test> ${_pinned_release}/setup.exe
  DEPENDS setup-pinned-test ${_pinned_list}
  COMMENT "Making the pinned test release"
  VERBATIM)
add_custom_target(e2e_pinned_release ALL DEPENDS ${_pinned_release}/setup.exe)
