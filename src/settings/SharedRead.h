#pragma once
// A file read whole, as the settings load wants it: in storage that is not cleared before the
// read fills it (a settings file can be many megabytes, and it is read at every load), and
// refused from its size before any of it is read when it is larger than the reader takes.
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace settings {

// A file larger than its reader takes: Windows' code for a file over a size limit, with the
// program's own text.
class EFileTooLarge : public platform::EOSError {
 public:
  EFileTooLarge() : EOSError(cCode, u"ファイルが大きすぎます") {}
  static constexpr unsigned long cCode = 223;  // ERROR_FILE_TOO_LARGE
};

// A file's bytes, in storage that is not cleared first.
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
  void Grow(std::size_t size);

 private:
  std::unique_ptr<char[]> FData;
  std::size_t FSize = 0;
};

// The whole file, read while other processes may read but not write it; nullopt when no file
// is there (a folder counts as none). A file of more than maxBytes, now or as it grows while
// it is read, raises EFileTooLarge; other errors raise the seam's EOSError.
std::optional<TFileBytes> ReadFileShared(platform::IFileSystem& files, const std::u16string& path,
                                         std::size_t maxBytes);

}  // namespace settings
