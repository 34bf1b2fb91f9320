#include "platform/win32/Files.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Exception.h"

namespace platform::win32 {

namespace {

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::u16string U(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::u16string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text = buffer ? U(buffer, length) : std::u16string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
  return text;
}

[[noreturn]] void RaiseLastError() {
  DWORD code = GetLastError();
  throw EOSError(code, SystemText(code));
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

HANDLE Raw(TFileHandle file) { return reinterpret_cast<HANDLE>(file); }

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
  RaiseLastError();
}

}  // namespace

bool TWin32Files::FileExists(const std::u16string& path) {
  if (path.empty()) return false;
  // Opening follows links, so a link counts by its target.
  HANDLE file = CreateFileW(W(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool isFile = GetFileInformationByHandle(file, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(file);
  return isFile;
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
  HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (IsMissing(code)) return 0;
    // A folder of that name counts as no file.
    DWORD attributes = GetFileAttributesW(W(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    SetLastError(code);
    RaiseLastError();
  }
  return reinterpret_cast<TFileHandle>(file);
}

std::uint64_t TWin32Files::FileSize(TFileHandle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Raw(file), &size)) RaiseLastError();
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t TWin32Files::Read(TFileHandle file, char* data, std::size_t size) {
  DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD read = 0;
  if (!ReadFile(Raw(file), data, chunk, &read, nullptr)) RaiseLastError();
  return read;
}

std::u16string TWin32Files::ResolveLinks(const std::u16string& path) {
  HANDLE file = CreateFileW(W(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
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
    RaiseLastError();
  }
  HANDLE file = CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (IsMissing(GetLastError())) return 0;
    RaiseLastError();
  }
  return reinterpret_cast<TFileHandle>(file);
}

TFileHandle TWin32Files::CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) {
  for (unsigned attempt = 0; attempt < cTempAttempts; ++attempt) {
    std::u16string candidate = TempName(nearPath, attempt);
    HANDLE file = CreateFileW(W(candidate), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      tempPath = candidate;
      return reinterpret_cast<TFileHandle>(file);
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) RaiseLastError();
  }
  RaiseLastError();
}

std::size_t TWin32Files::Write(TFileHandle file, const char* data, std::size_t size) {
  DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD written = 0;
  if (!WriteFile(Raw(file), data, chunk, &written, nullptr)) RaiseLastError();
  return written;
}

void TWin32Files::FlushToDisk(TFileHandle file) {
  if (!FlushFileBuffers(Raw(file))) RaiseLastError();
}

void TWin32Files::Close(TFileHandle file) {
  if (file) CloseHandle(Raw(file));
}

void TWin32Files::CopyAttributes(const std::u16string& from, const std::u16string& to) {
  // ReplaceFileW merges them too; set here, they hold also where a replace only renames (Wine).
  DWORD attributes = GetFileAttributesW(W(from));
  if (attributes == INVALID_FILE_ATTRIBUTES) RaiseLastError();
  // Read-only would stop the replace itself; the old file cannot be read-only here anyway.
  attributes &= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (!SetFileAttributesW(W(to), attributes ? attributes : FILE_ATTRIBUTE_NORMAL)) RaiseLastError();
}

bool TWin32Files::ReplaceFileCall(const std::u16string& replaced, const std::u16string& replacement,
                                  const std::u16string& backup) {
  // No flags: a replace that cannot carry the access list over fails rather than drop it.
  return ReplaceFileW(W(replaced), W(replacement), W(backup), 0, nullptr, nullptr);
}

void TWin32Files::Replace(const std::u16string& from, const std::u16string& to, bool existing) {
  if (!existing) {
    if (!MoveFileExW(W(from), W(to), MOVEFILE_WRITE_THROUGH)) RaiseLastError();
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
  RaiseLastError();
}

void TWin32Files::Remove(const std::u16string& path) noexcept { DeleteFileW(W(path)); }

}  // namespace platform::win32
