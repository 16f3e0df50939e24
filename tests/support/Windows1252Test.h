#ifndef TESTS_SUPPORT_WINDOWS1252TEST_H_
#define TESTS_SUPPORT_WINDOWS1252TEST_H_

#include <gtest/gtest.h>

#include "platform/CodePage.h"

// Windows1252Test: a fixture for tests whose expected bytes are those of
// Windows-1252. On Windows the ANSI code page follows the system's locale;
// the tests stop at once where it is another one.
class Windows1252Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1252u, platform::AnsiCodePage())
        << "These tests expect the ANSI code page to be Windows-1252. Run them on a "
           "Western-European Windows, or under Wine with LANG=C.UTF-8 (wine-run.sh sets it).";
  }
};

#endif  // TESTS_SUPPORT_WINDOWS1252TEST_H_
