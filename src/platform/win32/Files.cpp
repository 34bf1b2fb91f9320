#include "platform/win32/Files.h"

#include <algorithm>
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
  return TOwnedFile(CreateFileW(W(path), access, share, nullptr, disposition, flags, nullptr));
}
// Any file, folder or link target, only to ask about it.
TOwnedFile OpenToAsk(const std::u16string& path) {
  return OpenFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS);
}

constexpr unsigned cTempAttempts = 100;

// "Halvorn.ini.~a3tmp": beside the file, so that a rename never crosses volumes.
std::u16string TempName(const std::u16string& nearPath, unsigned attempt) {
  return nearPath + u".~" + std::u16string(1, static_cast<char16_t>(u'a' + attempt % 26)) +
         std::u16string(1, static_cast<char16_t>(u'0' + (GetCurrentProcessId() + attempt) % 10)) + u"tmp";
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

// A temporary name that nothing holds now.
std::u16string FreeTempName(const std::u16string& nearPath) {
  for (unsigned attempt = 0; attempt < cTempAttempts; ++attempt) {
    std::u16string candidate = TempName(nearPath, attempt);
    if (!Exists(candidate)) return candidate;
  }
  SetLastError(ERROR_FILE_EXISTS);
  RaiseLastError(u"ReplaceFileW (backup name)");
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
    DWORD length = GetFullPathNameW(W(name), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return name;
    if (length < buffer.size()) return U(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

std::u16string TWin32Files::CurrentDir() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) return U(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

bool TWin32Files::SetCurrentDir(const std::u16string& path) noexcept { return SetCurrentDirectoryW(W(path)); }

TFileHandle TWin32Files::OpenShared(const std::u16string& path) {
  TOwnedFile file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    const DWORD code = GetLastError();
    if (IsMissing(code)) return 0;
    // A folder of that name counts as no file.
    const DWORD attributes = GetFileAttributesW(W(path));
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
  const TOwnedFile file = OpenToAsk(path);
  if (!file) return path;
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length =
      GetFinalPathNameByHandleW(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length =
        GetFinalPathNameByHandleW(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= buffer.size()) return path;
  std::u16string resolved = U(buffer.data(), length);
  if (resolved.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + resolved.substr(8);
  if (resolved.rfind(u"\\\\?\\", 0) == 0) return resolved.substr(4);
  return resolved;
}

TFileHandle TWin32Files::LockExclusive(const std::u16string& path) {
  // Windows refuses to write a read-only file; say so before opening, where a privileged
  // account (or a Wine prefix run as root) would otherwise be let through.
  const DWORD attributes = GetFileAttributesW(W(path));
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
  for (unsigned attempt = 0; attempt < cTempAttempts; ++attempt) {
    std::u16string candidate = TempName(nearPath, attempt);
    TOwnedFile file = OpenFile(candidate, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file) {
      tempPath = candidate;
      return HandOver(std::move(file));
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) RaiseLastError(u"CreateFileW");
  }
  RaiseLastError(u"CreateFileW");
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

void TWin32Files::CopyAttributes(const std::u16string& from, const std::u16string& to) {
  // ReplaceFileW merges them too; set here, they hold also where a replace only renames (Wine).
  DWORD attributes = GetFileAttributesW(W(from));
  if (attributes == INVALID_FILE_ATTRIBUTES) RaiseLastError(u"GetFileAttributesW");
  // Read-only would stop the replace itself; the old file cannot be read-only here anyway.
  attributes &=
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (!SetFileAttributesW(W(to), attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
    RaiseLastError(u"SetFileAttributesW");
}

bool TWin32Files::ReplaceFileCall(const std::u16string& replaced, const std::u16string& replacement,
                                  const std::u16string& backup) {
  // No flags: a replace that cannot carry the access list over fails rather than drop it.
  return ReplaceFileW(W(replaced), W(replacement), W(backup), 0, nullptr, nullptr);
}

void TWin32Files::Replace(const std::u16string& from, const std::u16string& to, bool existing) {
  if (!existing) {
    if (!MoveFileExW(W(from), W(to), MOVEFILE_WRITE_THROUGH)) RaiseLastError(u"MoveFileExW");
    return;
  }
  // The replace moves the old file aside before the new one takes its name. Given a name
  // for that, a replace that stops half-way leaves the old file where it can be put back;
  // without one, Windows may already have deleted it.
  const std::u16string backup = FreeTempName(to);
  if (ReplaceFileCall(to, from, backup)) {
    DeleteFileW(W(backup));
    return;
  }
  const DWORD code = GetLastError();
  // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the old file is under the backup name. The other
  // codes (ERROR_UNABLE_TO_MOVE_REPLACEMENT and ERROR_UNABLE_TO_REMOVE_REPLACED included,
  // with a backup name) leave it where it was; its absence is checked all the same. Should
  // putting it back fail, it stays under the backup name rather than be lost.
  if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 || !Exists(to)) {
    if (Exists(backup)) MoveFileExW(W(backup), W(to), MOVEFILE_WRITE_THROUGH);
  }
  SetLastError(code);
  RaiseLastError(u"ReplaceFileW");
}

void TWin32Files::Remove(const std::u16string& path) noexcept { DeleteFileW(W(path)); }

}  // namespace platform::win32
