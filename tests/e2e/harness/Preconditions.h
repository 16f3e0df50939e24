// What every end-to-end test needs before any of them runs, checked once
// for the whole program (a GoogleTest environment): a failure here stops
// all tests with one message instead of each failing on its own.
#ifndef TESTS_E2E_HARNESS_PRECONDITIONS_H_
#define TESTS_E2E_HARNESS_PRECONDITIONS_H_

#include <gtest/gtest.h>

namespace e2e {

class Preconditions : public testing::Environment {
 public:
  void SetUp() override;
};

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_PRECONDITIONS_H_
