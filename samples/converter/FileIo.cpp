#include "FileIo.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "Utf.h"

namespace halvorn {

namespace {

constexpr DWORD cReplaceTimeoutMs = 3000;
constexpr DWORD cReplaceRetryMs = 25;

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

[[noreturn]] void Fail(const std::string& what, const std::u16string& path, DWORD error) {
  throw std::runtime_error(what + " " + ToUtf8(path) + " (error " + std::to_string(error) + ")");
}

struct THandleCloser {
  HANDLE Handle;
  ~THandleCloser() {
    if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
  }
};

}  // namespace

std::u16string FullPath(const std::u16string& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetFullPathNameW(W(path), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
    buffer.resize(length);
  }
}

std::optional<std::string> ReadWholeFile(const std::u16string& path) {
  DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  THandleCloser file{CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.Handle == INVALID_HANDLE_VALUE) Fail("cannot open", path, GetLastError());
  std::string bytes;
  char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Handle, chunk, sizeof(chunk), &got, nullptr)) Fail("cannot read", path, GetLastError());
    if (got == 0) return bytes;
    bytes.append(chunk, got);
  }
}

void WriteFileSafely(const std::u16string& path, std::string_view bytes) {
  std::u16string full = FullPath(path);
  std::u16string folder = full.substr(0, full.find_last_of(u"\\/") + 1);
  wchar_t temp[MAX_PATH + 1];
  if (!GetTempFileNameW(folder.empty() ? L"." : W(folder), L"hal", 0, temp))
    Fail("cannot create a file in", folder, GetLastError());
  std::u16string tempPath(reinterpret_cast<const char16_t*>(temp));
  DWORD error = ERROR_SUCCESS;
  {
    THandleCloser file{CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    bool written = file.Handle != INVALID_HANDLE_VALUE;
    for (std::size_t done = 0; written && done < bytes.size();) {
      DWORD wrote = 0;
      DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      written = WriteFile(file.Handle, bytes.data() + done, part, &wrote, nullptr) && wrote > 0;
      done += wrote;
    }
    if (written) written = FlushFileBuffers(file.Handle);
    if (!written) error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temp);
    Fail("cannot write", tempPath, error);
  }
  // A reader that has the old file open (a viewer, the main program loading) blocks the
  // replace for a moment only.
  DWORD start = GetTickCount();
  while (!MoveFileExW(temp, W(full), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
    if (!busy || GetTickCount() - start > cReplaceTimeoutMs) {
      DeleteFileW(temp);
      Fail("cannot replace", full, error);
    }
    Sleep(cReplaceRetryMs);
  }
}

}  // namespace halvorn
