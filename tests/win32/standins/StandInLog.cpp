#include "StandInLog.h"

#include <windows.h>

#include <vector>

#include "Utf.h"

namespace standin {

namespace {
const wchar_t* WideText(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::u16string FromWide(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
}  // namespace

std::u16string LogPath() {
  std::vector<wchar_t> buffer(32768);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::u16string path(reinterpret_cast<const char16_t*>(buffer.data()), length);
  std::size_t dot = path.find_last_of(u'.');
  if (dot != std::u16string::npos && dot > path.find_last_of(u"\\/")) path.resize(dot);
  return path + u".log";
}

void Log(const std::u16string& line) {
  std::string bytes = halvorn::ToUtf8(line) + "\r\n";
  HANDLE file =
      CreateFileW(WideText(LogPath()), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::u16string Parameters(const std::u16string& commandLine) {
  std::size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == u'"') {
    at = commandLine.find(u'"', 1);
    at = at == std::u16string::npos ? commandLine.size() : at + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] != u' ' && commandLine[at] != u'\t') ++at;
  }
  while (at < commandLine.size() && (commandLine[at] == u' ' || commandLine[at] == u'\t')) ++at;
  return commandLine.substr(at);
}

std::u16string CommandLine() { return FromWide(GetCommandLineW()); }

std::u16string CurrentDirectory() {
  std::vector<wchar_t> buffer(32768);
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

std::u16string FileNamePart(const std::u16string& path) {
  std::size_t cut = path.find_last_of(u"\\/:");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

}  // namespace standin
