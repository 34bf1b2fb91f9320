// Test entry: installs the backend of this build before any test runs.
#include <gtest/gtest.h>

#include "TestPlatform.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new quorvel_test::TPlatformEnvironment);
  return RUN_ALL_TESTS();
}
