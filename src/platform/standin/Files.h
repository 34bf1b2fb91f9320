#pragma once
// Real POSIX files, with other processes' open handles simulated, so that the settings
// file's sharing rules can be exercised natively.
#include <map>
#include <string>

#include "platform/Files.h"

namespace platform::standin {

class TStandInFiles : public IFileSystem {
 public:
  // What a simulated other process holds on a path.
  enum class THold {
    Reading,  // open for reading, sharing read: our load works, our flush fails
    Writing,  // open for writing: our load and our flush fail
  };
  // A hold applies to the file itself, whichever link or spelling names it.
  void HoldOpen(const std::u16string& path, THold how);
  void ReleaseHold(const std::u16string& path);
  void ReleaseAll() { FHolds.clear(); }

  bool FileExists(const std::u16string& path) override;
  std::u16string ExpandFileName(const std::u16string& name) override;
  std::u16string CurrentDir() override;
  bool SetCurrentDir(const std::u16string& path) noexcept override;
  TFileHandle OpenShared(const std::u16string& path) override;
  std::uint64_t FileSize(TFileHandle file) override;
  std::size_t Read(TFileHandle file, char* data, std::size_t size) override;
  std::u16string ResolveLinks(const std::u16string& path) override;
  TFileHandle LockExclusive(const std::u16string& path) override;
  TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) override;
  std::size_t Write(TFileHandle file, const char* data, std::size_t size) override;
  void FlushToDisk(TFileHandle file) override;
  void Close(TFileHandle file) override;
  void CopyAttributes(TFileHandle from, const std::u16string& to) override;
  void Replace(const std::u16string& from, const std::u16string& to, bool replace) override;
  void Remove(const std::u16string& path) noexcept override;

 private:
  std::u16string HoldKey(const std::u16string& path);
  const THold* HoldOn(const std::u16string& path);

  std::map<std::u16string, THold> FHolds;  // by HoldKey
  unsigned FTempCounter = 0;
};

}  // namespace platform::standin
