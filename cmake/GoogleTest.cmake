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
endif()

# textstring_add_tests(target): registers every test of a GoogleTest
# executable with ctest, one ctest entry per test.
#
# Some tests hold operations to linear time on texts of a megabyte (long
# needles that nearly match everywhere, searches resumed after every match):
# a quadratic version would not fail them, it would run for hours. The time
# limit turns that into a failure. It is a guard, not a measurement: each
# test ends in seconds, natively and under Wine, far inside it.
set(TEXTSTRING_TEST_TIMEOUT 300)
function(textstring_add_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT ${TEXTSTRING_TEST_TIMEOUT})
endfunction()
