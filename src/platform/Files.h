#pragma once
// File operations behind the settings file and the existence test. Errors raise EOSError.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace platform {

// A file larger than its reader takes, refused from its size before any of it is read:
// Windows' code for a file over a size limit, with the program's own text.
class EFileTooLarge : public EOSError {
 public:
  EFileTooLarge() : EOSError(cCode, u"ファイルが大きすぎます") {}
  static constexpr unsigned long cCode = 223;  // ERROR_FILE_TOO_LARGE
};

using TFileHandle = std::intptr_t;  // opaque; 0 is no handle

// A file's bytes in storage that is not cleared before the read fills it: a settings file
// can be many megabytes, and it is read whole at every load.
class TFileBytes {
 public:
  TFileBytes() = default;
  explicit TFileBytes(std::size_t size) : FData(std::make_unique_for_overwrite<char[]>(size)), FSize(size) {}
  explicit TFileBytes(std::string_view bytes) : TFileBytes(bytes.size()) {
    if (!bytes.empty()) std::memcpy(FData.get(), bytes.data(), bytes.size());
  }
  char* data() { return FData.get(); }
  const char* data() const { return FData.get(); }
  std::size_t size() const { return FSize; }
  std::string_view View() const { return std::string_view(FData.get(), FSize); }
  // Fewer bytes than were made room for; the storage stays.
  void Shrink(std::size_t size) { FSize = size < FSize ? size : FSize; }
  // Room for size bytes, the first ones kept.
  void Grow(std::size_t size) {
    if (size <= FSize) return;
    auto data = std::make_unique_for_overwrite<char[]>(size);
    if (FSize != 0) std::memcpy(data.get(), FData.get(), FSize);
    FData = std::move(data);
    FSize = size;
  }

 private:
  std::unique_ptr<char[]> FData;
  std::size_t FSize = 0;
};

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

  // Whole content, read while other processes may read but not write the file; a file of
  // more than maxBytes raises EFileTooLarge before anything is allocated for it.
  // nullopt when no file is there (a folder counts as none).
  virtual std::optional<TFileBytes> ReadShared(const std::u16string& path, std::size_t maxBytes) = 0;

  // The pieces of a safe rewrite (see settings/SafeWrite).
  // Path with links resolved to their final target; the path itself when it names no file.
  virtual std::u16string ResolveLinks(const std::u16string& path) = 0;
  // Holds an existing file so that no other process can open it; 0 when no file is there.
  virtual TFileHandle LockExclusive(const std::u16string& path) = 0;
  // A new empty file in the folder of nearPath, open for writing; its path goes to tempPath.
  virtual TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) = 0;
  // Bytes actually written; may be fewer than size.
  virtual std::size_t Write(TFileHandle file, const char* data, std::size_t size) = 0;
  virtual void FlushToDisk(TFileHandle file) = 0;
  virtual void Close(TFileHandle file) = 0;
  // Gives `to` the attributes and access rights of `from`, which exists.
  virtual void CopyAttributes(const std::u16string& from, const std::u16string& to) = 0;
  // Puts `from` in place of `to` in one step. An existing `to` keeps its access list,
  // attributes, creation time and streams, and on a failure stays as it was. Without one,
  // `from` only takes the name, and fails when a file has appeared there meanwhile.
  virtual void Replace(const std::u16string& from, const std::u16string& to, bool existing) = 0;
  // Best effort; never raises.
  virtual void Remove(const std::u16string& path) noexcept = 0;
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
