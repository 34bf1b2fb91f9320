#include "settings/SharedRead.h"

#include <algorithm>

namespace settings {

void TFileBytes::Grow(std::size_t size) {
  if (size <= FSize) return;
  auto data = std::make_unique_for_overwrite<char[]>(size);
  if (FSize != 0) std::memcpy(data.get(), FData.get(), FSize);
  FData = std::move(data);
  FSize = size;
}

std::optional<TFileBytes> ReadFileShared(platform::IFileSystem& files, const std::u16string& path,
                                         std::size_t maxBytes) {
  const platform::TOpenFile file(files, files.OpenShared(path));
  if (!file) return std::nullopt;
  const std::uint64_t size = files.FileSize(file.Get());
  if (size > maxBytes) throw EFileTooLarge();

  // One allocation of the size the file has now; a file that grows meanwhile is read on.
  // The end is probed with a small buffer, so that a full read does not grow the big one.
  TFileBytes bytes(static_cast<std::size_t>(size));
  std::size_t done = 0;
  char probe[4096];
  for (;;) {
    const bool full = done == bytes.size();
    const std::size_t got = full ? files.Read(file.Get(), probe, sizeof probe)
                                 : files.Read(file.Get(), bytes.data() + done, bytes.size() - done);
    if (got == 0) break;
    if (full) {
      const std::size_t need = done + got;
      if (need > maxBytes) throw EFileTooLarge();                         // it grew beyond the limit meanwhile
      bytes.Grow(std::min(need > 2 * done ? need : 2 * done, maxBytes));  // the following reads go straight in
      std::memcpy(bytes.data() + done, probe, got);
    }
    done += got;
  }
  bytes.Shrink(done);
  return bytes;
}

}  // namespace settings
