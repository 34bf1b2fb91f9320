#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "platform/Backend.h"

namespace quorvel_test {

// Installs this build's backend for the whole run.
class TPlatformEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    FPlatform = platform::CreateBackend();
    platform::SetCurrent(FPlatform.get());
  }
  void TearDown() override {
    platform::SetCurrent(nullptr);
    FPlatform.reset();
  }

 private:
  std::unique_ptr<platform::TPlatform> FPlatform;
};

}  // namespace quorvel_test
