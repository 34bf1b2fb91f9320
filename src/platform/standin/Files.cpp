#include "platform/standin/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/Exception.h"
#include "platform/Text.h"

namespace platform::standin {

namespace {

// The Windows codes and texts for the errno values a settings file meets, so that messages
// read as they would on Windows; anything else keeps errno and the C library's text.
struct TSystemError {
  int Errno;
  unsigned long Code;
  const char16_t* Text;
};
constexpr char16_t cAccessDenied[] = u"アクセスが拒否されました。";
constexpr TSystemError cSystemErrors[] = {
    {ENOENT, 2, u"指定されたファイルが見つかりません。"},
    {ENOTDIR, 3, u"指定されたパスが見つかりません。"},
    {EACCES, 5, cAccessDenied},
    {EPERM, 5, cAccessDenied},
    {EISDIR, 5, cAccessDenied},
    {EROFS, 19, u"メディアは書き込み禁止になっています。"},
    {EEXIST, 80, u"ファイルが存在します。"},
    {ENOSPC, 112, u"ディスクに十分な空き領域がありません。"},
};
constexpr unsigned long cErrnoFlag = 0x20000000;  // the "application error" bit of Windows codes

[[noreturn]] void RaiseErrno(int error) {
  for (const TSystemError& known : cSystemErrors) {
    if (known.Errno == error) throw EOSError(known.Code, known.Text);
  }
  throw EOSError(cErrnoFlag | static_cast<unsigned long>(error), FromUtf8(std::strerror(error)));
}

[[noreturn]] void RaiseSharingViolation() {
  throw EOSError(32, u"プロセスはファイルにアクセスできません。別のプロセスが使用中です。");
}

std::string Native(const std::u16string& path) { return ToUtf8(path); }

// Handles are descriptors plus one, since 0 means no handle and descriptor 0 is valid.
TFileHandle ToHandle(int fd) { return static_cast<TFileHandle>(fd) + 1; }
int ToFd(TFileHandle handle) { return static_cast<int>(handle - 1); }

class TFd {
 public:
  explicit TFd(int fd) : FFd(fd) {}
  ~TFd() {
    if (FFd >= 0) ::close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  int Release() { return std::exchange(FFd, -1); }

 private:
  int FFd;
};

bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A refusal to set what a file keeps (not its owner, a file system without it): it then keeps
// what it was given.
bool IsRefusal(int error) { return error == EPERM || error == EACCES || error == ENOTSUP || error == EOPNOTSUPP; }

// The access control list, the part of an access list beyond the permission bits. Streams
// (user attributes) stay behind, as Windows' rename leaves the old file's streams.
constexpr char cAclAttribute[] = "system.posix_acl_access";

void CopyAccessControlList(int from, const std::string& to) {
  const ssize_t length = ::fgetxattr(from, cAclAttribute, nullptr, 0);
  if (length < 0) {
    if (errno == ENODATA || IsRefusal(errno)) return;  // none to keep
    RaiseErrno(errno);
  }
  std::string value(static_cast<std::size_t>(length), '\0');
  const ssize_t got = ::fgetxattr(from, cAclAttribute, value.data(), value.size());
  if (got < 0) RaiseErrno(errno);
  if (::setxattr(to.c_str(), cAclAttribute, value.data(), static_cast<std::size_t>(got), 0) != 0 && !IsRefusal(errno))
    RaiseErrno(errno);
}

constexpr int cMaxLinkHops = 40;  // as Linux follows

}  // namespace

std::u16string TStandInFiles::HoldKey(const std::u16string& path) {
  std::u16string resolved = ResolveLinks(path);
  return resolved == path ? ExpandFileName(path) : resolved;
}

void TStandInFiles::HoldOpen(const std::u16string& path, THold how) { FHolds[HoldKey(path)] = how; }

void TStandInFiles::ReleaseHold(const std::u16string& path) { FHolds.erase(HoldKey(path)); }

const TStandInFiles::THold* TStandInFiles::HoldOn(const std::u16string& path) {
  if (FHolds.empty()) return nullptr;
  auto found = FHolds.find(HoldKey(path));
  return found == FHolds.end() ? nullptr : &found->second;
}

bool TStandInFiles::FileExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(Native(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::u16string TStandInFiles::ExpandFileName(const std::u16string& name) {
  std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(Native(name))).lexically_normal();
  std::string text = full.string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return FromUtf8(text);
}

std::u16string TStandInFiles::CurrentDir() {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  return error ? std::u16string() : FromUtf8(current.string());
}

bool TStandInFiles::SetCurrentDir(const std::u16string& path) noexcept {
  try {
    return ::chdir(Native(path).c_str()) == 0;
  } catch (...) {
    return false;  // the path's conversion could not allocate
  }
}

TFileHandle TStandInFiles::OpenShared(const std::u16string& path) {
  const THold* hold = HoldOn(path);
  if (hold && *hold == THold::Writing) RaiseSharingViolation();
  TFd fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (IsMissing(errno)) return 0;
    RaiseErrno(errno);
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) RaiseErrno(errno);
  if (S_ISDIR(info.st_mode)) return 0;
  return ToHandle(fd.Release());
}

std::uint64_t TStandInFiles::FileSize(TFileHandle file) {
  struct stat info {};
  if (::fstat(ToFd(file), &info) != 0) RaiseErrno(errno);
  return static_cast<std::uint64_t>(info.st_size);
}

std::size_t TStandInFiles::Read(TFileHandle file, char* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(ToFd(file), data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) RaiseErrno(errno);
  }
}

std::u16string TStandInFiles::ResolveLinks(const std::u16string& path) {
  // A link whose target is missing names the file that creating it would make, as on Windows.
  std::string current = Native(path);
  for (int hop = 0; hop <= cMaxLinkHops; ++hop) {
    if (char* resolved = ::realpath(current.c_str(), nullptr)) {
      std::u16string result = FromUtf8(resolved);
      std::free(resolved);
      return result;
    }
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return hop == 0 ? path : FromUtf8(current);
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length <= 0) return path;
    target.resize(static_cast<std::size_t>(length));
    current = target.front() == '/' ? target : Folder(current) + "/" + target;
  }
  return path;
}

TFileHandle TStandInFiles::LockExclusive(const std::u16string& path) {
  if (HoldOn(path)) RaiseSharingViolation();
  const std::string name = Native(path);
  // A file without write permission is read-only, as Windows sees it: refused also for root,
  // whom opening it would let through.
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) && !(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
    RaiseErrno(EACCES);
  const int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (IsMissing(errno) || errno == EISDIR) return 0;
    RaiseErrno(errno);
  }
  return ToHandle(fd);
}

TFileHandle TStandInFiles::CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) {
  const std::string near = Native(nearPath);
  const std::string stem = Folder(near) + "/." + BaseName(near) + "." + std::to_string(::getpid()) + ".";
  for (;;) {
    const std::string candidate = stem + std::to_string(++FTempCounter) + ".tmp";
    // Mode 0666 less the umask: what a newly created settings file would get.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempPath = FromUtf8(candidate);
      return ToHandle(fd);
    }
    if (errno != EEXIST) RaiseErrno(errno);  // a name taken is passed over
  }
}

std::size_t TStandInFiles::Write(TFileHandle file, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(ToFd(file), data + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno);
    }
    if (put == 0) break;
    done += static_cast<std::size_t>(put);
  }
  return done;
}

void TStandInFiles::FlushToDisk(TFileHandle file) {
  if (::fsync(ToFd(file)) != 0) RaiseErrno(errno);
}

void TStandInFiles::Close(TFileHandle file) {
  if (file != 0) ::close(ToFd(file));
}

// What the Windows backend gives the new file of the old one, as far as these files have it: the
// access list (the permission bits, the group they name, and an access control list). Not the
// owner, who is whoever writes, nor set-id bits; a creation time Linux cannot set.
void TStandInFiles::CopyAttributes(TFileHandle from, const std::u16string& to) {
  struct stat info {};
  const std::string target = Native(to);
  if (::fstat(ToFd(from), &info) != 0) RaiseErrno(errno);
  // Only a member of the group may give the file to it; a refusal leaves the writer's group.
  if (::chown(target.c_str(), static_cast<uid_t>(-1), info.st_gid) != 0 && !IsRefusal(errno)) RaiseErrno(errno);
  if (::chmod(target.c_str(), info.st_mode & 0777) != 0 && !IsRefusal(errno)) RaiseErrno(errno);
  CopyAccessControlList(ToFd(from), target);
}

void TStandInFiles::Replace(const std::u16string& from, const std::u16string& to, bool replace) {
  const std::string target = Native(to);
  // Windows refuses to rename over a file that another process has open.
  if (replace && HoldOn(to)) RaiseErrno(EACCES);
  // A new file takes the name only while no other has it.
  const int moved = replace ? ::rename(Native(from).c_str(), target.c_str())
                            : ::renameat2(AT_FDCWD, Native(from).c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
  if (moved != 0) RaiseErrno(errno);
  // The rename is done; making the folder entry durable is best effort.
  TFd folder(::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
}

void TStandInFiles::Remove(const std::u16string& path) noexcept { ::unlink(Native(path).c_str()); }

}  // namespace platform::standin
