#pragma once
// The stand-in backend with its files in memory, installed for the whole fuzz run, so that
// loads and flushes never touch the disk.
#include <string>

#include "MemoryFiles.h"
#include "platform/standin/StandIn.h"

namespace quorvel_fuzz {

class TFuzzPlatform : public platform::standin::TStandInPlatform {
 public:
  quorvel_test::TMemoryFiles Memory;
  platform::IFileSystem& Files() override { return Memory; }

  static TFuzzPlatform& Installed() {
    static TFuzzPlatform* platform = [] {
      auto* created = new TFuzzPlatform;  // lives until the process ends
      platform::SetCurrent(created);
      return created;
    }();
    return *platform;
  }
};

inline const std::u16string cIniPath = u"/fuzz/Halvorn.ini";

}  // namespace quorvel_fuzz
