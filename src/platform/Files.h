#pragma once
// File operations behind the settings file and the existence test. Errors raise EOSError.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/Exception.h"

namespace platform {

using TFileHandle = std::intptr_t;  // opaque; 0 is no handle

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // True for an existing file that is not a folder; links are followed.
  virtual bool FileExists(const std::u16string& path) = 0;
  // Absolute path against the process's current directory.
  virtual std::u16string ExpandFileName(const std::u16string& name) = 0;
  // The process's current directory (empty when it cannot be read), and moving it; false
  // when the folder cannot be entered.
  virtual std::u16string CurrentDir() = 0;
  virtual bool SetCurrentDir(const std::u16string& path) noexcept = 0;

  // Opens an existing file for reading while other processes may read but not write it; 0
  // when no file is there (a folder counts as none).
  virtual TFileHandle OpenShared(const std::u16string& path) = 0;
  // The size in bytes of a file opened for reading.
  virtual std::uint64_t FileSize(TFileHandle file) = 0;
  // Bytes read from where the last read ended, at most size; 0 at the file's end.
  virtual std::size_t Read(TFileHandle file, char* data, std::size_t size) = 0;

  // The pieces of a safe rewrite (see settings/SafeWrite).
  // Path with links resolved to their final target, also a target that does not exist yet
  // (creating a file through a link creates its target); the path itself when it is no link.
  virtual std::u16string ResolveLinks(const std::u16string& path) = 0;
  // Holds an existing file so that no other process can open it; 0 when no file is there. A
  // read-only file is refused, whatever rights the account has.
  virtual TFileHandle LockExclusive(const std::u16string& path) = 0;
  // A new empty file, open for writing, in the folder of nearPath under a name no other file
  // has: names taken already (strays of an earlier run) are passed over, so they never run out.
  virtual TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) = 0;
  // Bytes actually written; may be fewer than size.
  virtual std::size_t Write(TFileHandle file, const char* data, std::size_t size) = 0;
  virtual void FlushToDisk(TFileHandle file) = 0;
  virtual void Close(TFileHandle file) = 0;
  // Gives the closed file `to` what the user may set of the access list, attributes and
  // creation time of `from`, a file held by LockExclusive. What the file system refuses to set
  // (no right to change an access list, a share without them) stays as `to` has it.
  virtual void CopyAttributes(TFileHandle from, const std::u16string& to) = 0;
  // Renames `from` to `to` in one step, so that `to` names the old file or the new one at
  // every moment. With replace, fails at once while another process has `to` open; without,
  // fails when a file has appeared at `to`.
  virtual void Replace(const std::u16string& from, const std::u16string& to, bool replace) = 0;
  // Best effort; never raises.
  virtual void Remove(const std::u16string& path) noexcept = 0;
};

// A handle of the file seam, closed through it at the end of the scope unless closed before.
class TOpenFile {
 public:
  TOpenFile(IFileSystem& files, TFileHandle handle) : FFiles(files), FHandle(handle) {}
  ~TOpenFile() { Close(); }
  TOpenFile(const TOpenFile&) = delete;
  TOpenFile& operator=(const TOpenFile&) = delete;

  TFileHandle Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != 0; }
  void Close() {
    if (FHandle != 0) FFiles.Close(std::exchange(FHandle, 0));
  }

 private:
  IFileSystem& FFiles;
  TFileHandle FHandle;
};

// Puts the process's current directory back where it was when the keeper was made, on
// every way out of its scope.
class TCurrentDirKeeper {
 public:
  explicit TCurrentDirKeeper(IFileSystem& files) : FFiles(files), FDir(files.CurrentDir()) {}
  ~TCurrentDirKeeper() {
    if (!FDir.empty()) FFiles.SetCurrentDir(FDir);
  }
  TCurrentDirKeeper(const TCurrentDirKeeper&) = delete;
  TCurrentDirKeeper& operator=(const TCurrentDirKeeper&) = delete;

 private:
  IFileSystem& FFiles;
  const std::u16string FDir;
};

}  // namespace platform
