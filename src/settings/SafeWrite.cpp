#include "settings/SafeWrite.h"

#include "platform/Exception.h"

namespace settings {

namespace {

constexpr unsigned long cErrorFileExists = 80;
constexpr unsigned long cErrorDiskFull = 112;

}  // namespace

void WriteFileSafely(platform::IFileSystem& files, const std::u16string& path, bool existed,
                     const std::function<void(const TContentWriter&)>& produce) {
  // A link stays a link: the new content goes to its target.
  const std::u16string target = files.ResolveLinks(path);
  platform::TOpenFile lock(files, files.LockExclusive(target));
  // Another program created the file after our load: its file stays as it is.
  if (!existed && lock) throw platform::EOSError(cErrorFileExists, u"ファイルが存在します。");
  std::u16string tempPath;
  platform::TOpenFile temp(files, files.CreateTemp(target, tempPath));
  try {
    // A write may take fewer bytes than offered (Windows takes at most 1 GiB at a time);
    // only a write that takes none means the disk is full.
    produce([&](std::string_view bytes) {
      for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t written = files.Write(temp.Get(), bytes.data() + done, bytes.size() - done);
        if (written == 0) throw platform::EOSError(cErrorDiskFull, u"ディスクに十分な空き領域がありません。");
        done += written;
      }
    });
    files.FlushToDisk(temp.Get());
    temp.Close();
    if (lock) files.CopyAttributes(lock.Get(), tempPath);
    // Windows cannot rename over a file that is open, our own hold included.
    lock.Close();
    files.Replace(tempPath, target, existed);
  } catch (...) {
    temp.Close();
    files.Remove(tempPath);
    throw;
  }
}

}  // namespace settings
