# GoogleTest for the unit tests: Debian's prebuilt one natively; for Windows
# built from Debian's googletest sources with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "googletest sources")
  if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "googletest sources not found in ${GOOGLETEST_SOURCE_DIR}: "
                        "run tools/install-deps.sh")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Test executables run under Wine, in a private prefix inside the build
  # folder, quietly. The wrapper makes the prefix on first use; it is the
  # only one, and tests that need a prefix of their own pass --prefix.
  set(TEXTSTRING_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  set(TEXTSTRING_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run.sh)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${TEXTSTRING_WINE_RUN}
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TEXTSTRING_WINE_RUN})
  # Asked at every configure, since a build folder may move between machines.
  # Where Wine cannot run, each suite that needs it becomes one skipped test
  # that says why (textstring_add_wine_skip), rather than a failed discovery.
  execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/tools/wine-can-run.sh
                  RESULT_VARIABLE wine_can_run OUTPUT_VARIABLE wine_cannot_run_because
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(wine_can_run EQUAL 0)
    set(TEXTSTRING_WINE_RUNS ON)
  else()
    set(TEXTSTRING_WINE_RUNS OFF)
    message(WARNING "The Windows tests that run under Wine are skipped on this machine: "
                    "${wine_cannot_run_because}")
  endif()
endif()

# textstring_add_wine_skip(name): a test that ctest reports as skipped,
# saying why Wine cannot run here.
function(textstring_add_wine_skip name)
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tools/wine-can-run.sh)
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS wine)
endfunction()

# textstring_add_tests(target): registers every test of a GoogleTest
# executable with ctest, one ctest entry per test.
#
# Some tests hold operations to linear time on texts of a megabyte (long
# needles that nearly match everywhere, searches resumed after every match):
# a quadratic version would not fail them, it would run for hours. The time
# limit turns that into a failure. It is a guard, not a measurement: the
# longest of them ends within seconds natively, and the margin leaves room
# for Wine and a loaded machine.
set(TEXTSTRING_TEST_TIMEOUT 300)
function(textstring_add_tests target)
  if(CMAKE_CROSSCOMPILING AND NOT TEXTSTRING_WINE_RUNS)
    textstring_add_wine_skip(${target}.under_wine)
    return()
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT ${TEXTSTRING_TEST_TIMEOUT})
endfunction()
