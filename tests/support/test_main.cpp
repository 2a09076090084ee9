// Test entry point: every test executable gets a private RM460_PREFIX.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"

int main(int argc, char** argv) {
  testing_support::TempDir prefix;
  ::setenv("RM460_PREFIX", prefix.path().c_str(), 1);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
