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
  void CopyAttributes(TFileHandle from, const std::u16string& to) override;
  void Replace(const std::u16string& from, const std::u16string& to, bool replace) override;
  void Remove(const std::u16string& path) noexcept override;

 protected:
  // SetNamedSecurityInfoW with an access list (a PACL), its error code; a test puts a share
  // that refuses access lists in its place.
  virtual unsigned long SetAccessListCall(const std::u16string& path, void* list, bool isProtected);
  // The temporary names handed out so far; a test sets it back, as a new run under the same
  // process id would start again.
  std::uint64_t FTempSerial = 0;
};

}  // namespace platform::win32
