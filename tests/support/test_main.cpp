// Test entry point: every test executable gets a private RM460_PREFIX.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/environment.h"
#include "tests/support/temp_dir.h"

int main(int argc, char** argv) {
  testing_support::TempDir prefix;
  testing_support::SetEnvironment("RM460_PREFIX", prefix.path());
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
