#include "platform/Platform.h"

#include <stdexcept>

namespace platform {

namespace {
TPlatform* gCurrent = nullptr;  // not owned: the entry point or the test runner owns it
}

TPlatform& Current() {
  if (!gCurrent) throw std::logic_error("no platform backend installed");
  return *gCurrent;
}

void SetCurrent(TPlatform* value) { gCurrent = value; }

}  // namespace platform
