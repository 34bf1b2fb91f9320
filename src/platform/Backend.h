#pragma once
// The backend this build carries: Win32 when cross-built, the stand-in natively.
#include <memory>

#include "platform/Platform.h"

namespace platform {
std::unique_ptr<TPlatform> CreateBackend();
}
