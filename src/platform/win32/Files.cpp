#include "platform/win32/Files.h"

#include <aclapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

namespace {

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

HANDLE Raw(TFileHandle file) { return reinterpret_cast<HANDLE>(file); }
// The seam's handle for an open file, which the seam's Close frees from now on.
TFileHandle HandOver(TOwnedFile file) { return reinterpret_cast<TFileHandle>(file.Release()); }

TOwnedFile OpenFile(const std::u16string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return TOwnedFile(CreateFileW(WideText(path), access, share, nullptr, disposition, flags, nullptr));
}
// Any file, folder or link target, only to ask about it.
TOwnedFile OpenToAsk(const std::u16string& path) {
  return OpenFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS);
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(WideText(path)) != INVALID_FILE_ATTRIBUTES; }

// What a file system answers when it will not set an access list or attributes for this user,
// or has none to set: the new file then keeps what it was given.
bool IsRefusal(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_PRIVILEGE_NOT_HELD || code == ERROR_NOT_SUPPORTED ||
         code == ERROR_INVALID_FUNCTION;
}

// Windows follows at most this many links in one path.
constexpr int cMaxLinkHops = 63;

// The path a symbolic link names, made absolute against the link's folder; false when `path`
// is no symbolic link.
bool ReadLink(const std::u16string& path, std::u16string& target) {
  const TOwnedFile link = OpenFile(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  if (!link) return false;
  // The symbolic-link layout of REPARSE_DATA_BUFFER, which only the driver kit's headers declare.
  struct TSymbolicLink {
    ULONG ReparseTag;
    USHORT ReparseDataLength, Reserved;
    USHORT SubstituteNameOffset, SubstituteNameLength, PrintNameOffset, PrintNameLength;  // bytes into Names
    ULONG Flags;
    WCHAR Names[1];
  };
  std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD got = 0;
  if (!DeviceIoControl(link.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                       static_cast<DWORD>(buffer.size()), &got, nullptr) ||
      got < offsetof(TSymbolicLink, Names))
    return false;
  TSymbolicLink data;
  std::memcpy(&data, buffer.data(), offsetof(TSymbolicLink, Names));
  const std::size_t names = offsetof(TSymbolicLink, Names);
  if (data.ReparseTag != IO_REPARSE_TAG_SYMLINK || names + data.SubstituteNameOffset + data.SubstituteNameLength > got)
    return false;
  std::u16string name(data.SubstituteNameLength / 2, u'\0');
  std::memcpy(name.data(), buffer.data() + names + data.SubstituteNameOffset, name.size() * 2);
  if (name.rfind(u"\\??\\UNC\\", 0) == 0) {
    name = u"\\\\" + name.substr(8);
  } else if (name.rfind(u"\\??\\", 0) == 0) {
    name = name.substr(4);
  }
  if (data.Flags & SYMLINK_FLAG_RELATIVE) name = path.substr(0, path.find_last_of(u"\\/") + 1) + name;
  std::vector<wchar_t> full(MAX_PATH);
  DWORD length = GetFullPathNameW(WideText(name), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(WideText(name), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return false;
  target = FromWide(full.data(), length);
  return true;
}

std::u16string FinalPath(HANDLE file, const std::u16string& fallback) {
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length =
      GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= buffer.size()) return fallback;
  std::u16string resolved = FromWide(buffer.data(), length);
  if (resolved.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + resolved.substr(8);
  if (resolved.rfind(u"\\\\?\\", 0) == 0) return resolved.substr(4);
  return resolved;
}

struct TLocalFree {
  void operator()(HLOCAL memory) const noexcept { ::LocalFree(memory); }
};
using TOwnedSecurity = TOwned<PSECURITY_DESCRIPTOR, TLocalFree>;

bool IsProtected(PSECURITY_DESCRIPTOR descriptor) {
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  return GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED);
}

// The same entries in the same order, each byte alike (inherited ones included).
bool SameEntries(PACL a, PACL b) {
  if (!a || !b) return a == b;
  if (a->AceCount != b->AceCount) return false;
  for (DWORD i = 0; i < a->AceCount; ++i) {
    void* x = nullptr;
    void* y = nullptr;
    if (!GetAce(a, i, &x) || !GetAce(b, i, &y)) return false;
    const WORD size = static_cast<const ACE_HEADER*>(x)->AceSize;
    if (size != static_cast<const ACE_HEADER*>(y)->AceSize || std::memcmp(x, y, size) != 0) return false;
  }
  return true;
}

}  // namespace

bool TWin32Files::FileExists(const std::u16string& path) {
  if (path.empty()) return false;
  // Opening follows links, so a link counts by its target.
  const TOwnedFile file = OpenToAsk(path);
  if (!file) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(file.Get(), &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string TWin32Files::ExpandFileName(const std::u16string& name) {
  if (name.empty()) return name;
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetFullPathNameW(WideText(name), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return name;
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

std::u16string TWin32Files::CurrentDir() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

bool TWin32Files::SetCurrentDir(const std::u16string& path) noexcept { return SetCurrentDirectoryW(WideText(path)); }

TFileHandle TWin32Files::OpenShared(const std::u16string& path) {
  TOwnedFile file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    const DWORD code = GetLastError();
    if (IsMissing(code)) return 0;
    // A folder of that name counts as no file.
    const DWORD attributes = GetFileAttributesW(WideText(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    SetLastError(code);
    RaiseLastError(u"CreateFileW");
  }
  return HandOver(std::move(file));
}

std::uint64_t TWin32Files::FileSize(TFileHandle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Raw(file), &size)) RaiseLastError(u"GetFileSizeEx");
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t TWin32Files::Read(TFileHandle file, char* data, std::size_t size) {
  DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD read = 0;
  if (!ReadFile(Raw(file), data, chunk, &read, nullptr)) RaiseLastError(u"ReadFile");
  return read;
}

std::u16string TWin32Files::ResolveLinks(const std::u16string& path) {
  // A link whose target is missing names the file that creating it would make.
  std::u16string current = path;
  for (int hop = 0; hop <= cMaxLinkHops; ++hop) {
    if (const TOwnedFile file = OpenToAsk(current)) return FinalPath(file.Get(), current);
    std::u16string target;
    if (!ReadLink(current, target)) return current;
    current = std::move(target);
  }
  return path;
}

TFileHandle TWin32Files::LockExclusive(const std::u16string& path) {
  // Windows refuses to write a read-only file; say so before opening, where a privileged
  // account (or a Wine prefix run as root) would otherwise be let through.
  const DWORD attributes = GetFileAttributesW(WideText(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    RaiseLastError(u"CreateFileW");
  }
  TOwnedFile file = OpenFile(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    if (IsMissing(GetLastError())) return 0;
    RaiseLastError(u"CreateFileW");
  }
  return HandOver(std::move(file));
}

TFileHandle TWin32Files::CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) {
  // "Halvorn.ini.~1f4-7.tmp": beside the file, so that the rename never crosses volumes; the
  // process id and a count of our own keep the names apart from other processes' and runs'.
  wchar_t process[16];
  std::swprintf(process, 16, L"%lx", GetCurrentProcessId());
  const std::u16string stem = nearPath + u".~" + FromWide(process) + u"-";
  for (;;) {
    const std::string serial = std::to_string(++FTempSerial);
    std::u16string candidate = stem + std::u16string(serial.begin(), serial.end()) + u".tmp";
    TOwnedFile file = OpenFile(candidate, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file) {
      tempPath = std::move(candidate);
      return HandOver(std::move(file));
    }
    // A name taken (by a stray of an earlier run, say) is passed over.
    const DWORD code = GetLastError();
    const bool taken =
        code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS || (code == ERROR_ACCESS_DENIED && Exists(candidate));
    if (!taken) RaiseLastError(u"CreateFileW");
  }
}

std::size_t TWin32Files::Write(TFileHandle file, const char* data, std::size_t size) {
  DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD written = 0;
  if (!WriteFile(Raw(file), data, chunk, &written, nullptr)) RaiseLastError(u"WriteFile");
  return written;
}

void TWin32Files::FlushToDisk(TFileHandle file) {
  if (!FlushFileBuffers(Raw(file))) RaiseLastError(u"FlushFileBuffers");
}

void TWin32Files::Close(TFileHandle file) {
  if (file) CloseHandle(Raw(file));
}

void TWin32Files::CopyAttributes(TFileHandle from, const std::u16string& to) {
  FILE_BASIC_INFO old{};
  if (!GetFileInformationByHandleEx(Raw(from), FileBasicInfo, &old, sizeof old))
    RaiseLastError(u"GetFileInformationByHandleEx");
  // Read-only would stop the rename; the old file cannot be read-only here anyway.
  const DWORD attributes = old.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  FILE_BASIC_INFO kept{};  // times left 0 stay as they are
  kept.CreationTime = old.CreationTime;
  kept.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
  {
    const TOwnedFile file =
        OpenFile(to, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, 0);
    if (!file || !SetFileInformationByHandle(file.Get(), FileBasicInfo, &kept, sizeof kept)) {
      if (!IsRefusal(GetLastError())) RaiseLastError(u"SetFileInformationByHandle");
    }
  }

  // The access list: only where the new file did not get the same from its folder, so that a
  // share that lets nobody change access lists is not even asked.
  PACL oldList = nullptr;
  PSECURITY_DESCRIPTOR oldRaw = nullptr;
  DWORD code = GetSecurityInfo(Raw(from), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &oldList,
                               nullptr, &oldRaw);
  const TOwnedSecurity oldSecurity(oldRaw);
  if (code == ERROR_SUCCESS) {
    PACL newList = nullptr;
    PSECURITY_DESCRIPTOR newRaw = nullptr;
    code = GetNamedSecurityInfoW(WideText(to), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &newList,
                                 nullptr, &newRaw);
    const TOwnedSecurity newSecurity(newRaw);
    if (code == ERROR_SUCCESS && SameEntries(oldList, newList) && IsProtected(oldRaw) == IsProtected(newRaw)) return;
    code = SetAccessListCall(to, oldList, IsProtected(oldRaw));
  }
  if (code != ERROR_SUCCESS && !IsRefusal(code)) {
    SetLastError(code);
    RaiseLastError(u"SetNamedSecurityInfoW");
  }
}

unsigned long TWin32Files::SetAccessListCall(const std::u16string& path, void* list, bool isProtected) {
  // Unprotected, Windows adds to the list's own entries what the folder passes on now.
  const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | (isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                             : UNPROTECTED_DACL_SECURITY_INFORMATION);
  std::u16string name = path;
  return SetNamedSecurityInfoW(reinterpret_cast<wchar_t*>(name.data()), SE_FILE_OBJECT, what, nullptr, nullptr,
                               static_cast<PACL>(list), nullptr);
}

void TWin32Files::Replace(const std::u16string& from, const std::u16string& to, bool replace) {
  // One rename: the name never lacks a whole file. Windows refuses to replace a file that
  // another process has open, so a converter's open gets the old file or the new one.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (!MoveFileExW(WideText(from), WideText(to), flags)) RaiseLastError(u"MoveFileExW");
}

void TWin32Files::Remove(const std::u16string& path) noexcept { DeleteFileW(WideText(path)); }

}  // namespace platform::win32
