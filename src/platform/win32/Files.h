#pragma once
// Real Win32 file operations: the sharing rules the settings file relies on.
#include "platform/Files.h"

namespace platform::win32 {

class TWin32Files : public IFileSystem {
 public:
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
  void CopyAttributes(const std::u16string& from, const std::u16string& to) override;
  void Replace(const std::u16string& from, const std::u16string& to, bool existing) override;
  void Remove(const std::u16string& path) noexcept override;

 protected:
  // ReplaceFileW itself, which moves the old file to `backup` on its way; a test puts a
  // replace that stops half-way in its place.
  virtual bool ReplaceFileCall(const std::u16string& replaced, const std::u16string& replacement,
                               const std::u16string& backup);
};

}  // namespace platform::win32
