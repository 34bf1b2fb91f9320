#pragma once
// Files held in memory behind the file seam, with Windows-style paths: fast enough for tests
// that load and flush the settings file many thousand times. A flush takes the same safe-write
// steps as on disk. It counts what it hands out, so that a test can see every handle closed.
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "platform/Files.h"

namespace quorvel_test {

class TMemoryFiles : public platform::IFileSystem {
 public:
  std::map<std::u16string, std::string> Files;  // by full path
  std::u16string WorkDir = u"C:\\work";         // the current directory
  int Replaces = 0;                             // completed flushes

  // Handles handed out and not yet closed.
  std::size_t OpenHandles() const { return FOpen.size(); }
  // Files that only a flush in progress should have.
  bool HasTemporaryFile() const {
    for (const auto& [path, bytes] : Files)
      if (path.ends_with(cTempSuffix)) return true;
    return false;
  }

  bool FileExists(const std::u16string& path) override { return Files.count(path) != 0; }
  std::u16string ExpandFileName(const std::u16string& name) override {
    const bool absolute = (name.size() >= 2 && name[1] == u':') || name.starts_with(u"\\") || name.starts_with(u"/");
    return name.empty() || absolute ? name : WorkDir + u"\\" + name;
  }
  std::u16string CurrentDir() override { return WorkDir; }
  bool SetCurrentDir(const std::u16string& path) noexcept override {
    WorkDir = path;
    return true;
  }
  platform::TFileHandle OpenShared(const std::u16string& path) override { return FileExists(path) ? Open(path) : 0; }
  std::uint64_t FileSize(platform::TFileHandle file) override { return Files.at(OpenPath(file)).size(); }
  std::size_t Read(platform::TFileHandle file, char* data, std::size_t size) override {
    const std::string& bytes = Files.at(OpenPath(file));
    std::size_t& at = FReadAt[file];
    const std::size_t count = std::min(size, bytes.size() - std::min(at, bytes.size()));
    std::copy_n(bytes.data() + at, count, data);
    at += count;
    return count;
  }
  std::u16string ResolveLinks(const std::u16string& path) override { return path; }
  platform::TFileHandle LockExclusive(const std::u16string& path) override { return FileExists(path) ? Open(path) : 0; }
  platform::TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) override {
    const std::string number = std::to_string(FNext + 1);
    tempPath = nearPath + u"." + std::u16string(number.begin(), number.end()) + std::u16string(cTempSuffix);
    Files[tempPath].clear();
    FTemp = tempPath;
    return Open(tempPath);
  }
  std::size_t Write(platform::TFileHandle file, const char* data, std::size_t size) override {
    auto found = FOpen.find(file);
    if (found == FOpen.end() || found->second != FTemp)
      throw std::logic_error("write to a handle that is not the open temporary file");
    Files[FTemp].append(data, size);
    return size;
  }
  void FlushToDisk(platform::TFileHandle file) override {
    if (!FOpen.count(file)) throw std::logic_error("flush of a closed handle");
  }
  void Close(platform::TFileHandle file) override {
    if (FOpen.erase(file) != 1) throw std::logic_error("close of a handle that is not open");
    FReadAt.erase(file);
  }
  void CopyAttributes(platform::TFileHandle, const std::u16string&) override {}
  void Replace(const std::u16string& from, const std::u16string& to, bool replace) override {
    auto found = Files.find(from);
    if (found == Files.end()) throw std::logic_error("replace from a missing file");
    if (!replace && FileExists(to)) throw platform::EOSError(183, u"file exists");
    Files[to] = std::move(found->second);
    Files.erase(from);
    ++Replaces;
  }
  void Remove(const std::u16string& path) noexcept override { Files.erase(path); }

 private:
  static constexpr std::u16string_view cTempSuffix = u".~tmp";
  platform::TFileHandle Open(const std::u16string& path) {
    FOpen[++FNext] = path;
    return FNext;
  }
  const std::u16string& OpenPath(platform::TFileHandle file) const {
    auto found = FOpen.find(file);
    if (found == FOpen.end()) throw std::logic_error("use of a handle that is not open");
    return found->second;
  }
  std::map<platform::TFileHandle, std::u16string> FOpen;
  std::map<platform::TFileHandle, std::size_t> FReadAt;  // where each handle's next read starts
  platform::TFileHandle FNext = 0;
  std::u16string FTemp;
};

}  // namespace quorvel_test
