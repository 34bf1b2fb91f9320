#pragma once
// Files held in memory, so that a fuzz run loads and flushes settings without touching the
// disk: a flush goes through the same safe-write steps and lands in Files.
#include <map>
#include <stdexcept>
#include <string>

#include "platform/standin/StandIn.h"

namespace quorvel_fuzz {

class TMemoryFiles : public platform::IFileSystem {
 public:
  std::map<std::u16string, std::string> Files;

  bool FileExists(const std::u16string& path) override { return Files.count(path) != 0; }
  std::u16string ExpandFileName(const std::u16string& name) override { return name; }
  std::optional<std::string> ReadShared(const std::u16string& path) override {
    auto found = Files.find(path);
    if (found == Files.end()) return std::nullopt;
    return found->second;
  }
  std::u16string ResolveLinks(const std::u16string& path) override { return path; }
  platform::TFileHandle LockExclusive(const std::u16string& path) override { return FileExists(path) ? cLock : 0; }
  platform::TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) override {
    tempPath = nearPath + u".tmp";
    Files[tempPath].clear();
    FTemp = tempPath;
    return cTemp;
  }
  std::size_t Write(platform::TFileHandle file, const char* data, std::size_t size) override {
    if (file != cTemp) throw std::logic_error("write to a handle that is not the temporary file");
    Files[FTemp].append(data, size);
    return size;
  }
  void FlushToDisk(platform::TFileHandle) override {}
  void Close(platform::TFileHandle) override {}
  void CopyAttributes(const std::u16string&, const std::u16string&) override {}
  void Replace(const std::u16string& from, const std::u16string& to) override {
    Files[to] = std::move(Files[from]);
    Files.erase(from);
  }
  void Remove(const std::u16string& path) noexcept override { Files.erase(path); }

 private:
  static constexpr platform::TFileHandle cLock = 1;
  static constexpr platform::TFileHandle cTemp = 2;
  std::u16string FTemp;
};

// The stand-in backend with its files in memory, installed for the whole fuzz run.
class TFuzzPlatform : public platform::standin::TStandInPlatform {
 public:
  TMemoryFiles Memory;
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
