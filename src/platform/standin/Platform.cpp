#include "platform/standin/StandIn.h"

#include "platform/Backend.h"

namespace platform {
std::unique_ptr<TPlatform> CreateBackend() { return std::make_unique<standin::TStandInPlatform>(); }
}  // namespace platform

namespace platform::standin {
TStandInPlatform& StandIn() { return static_cast<TStandInPlatform&>(Current()); }
}  // namespace platform::standin
