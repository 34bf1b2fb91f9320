#include "Format.h"

#include <cstdio>

namespace probe {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

std::string Escape(const std::wstring& text) {
  std::string result;
  for (char c : Utf8(text)) {
    switch (c) {
      case '\\': result += "\\\\"; break;
      case '\t': result += "\\t"; break;
      case '\n': result += "\\n"; break;
      case '\r': result += "\\r"; break;
      default: result += c;
    }
  }
  return result;
}

TRecord::TRecord(const char* kind) : FLine(kind) {}

TRecord& TRecord::Add(const char* name, const std::wstring& value) {
  FLine += '\t';
  FLine += name;
  FLine += '=';
  FLine += Escape(value);
  return *this;
}

TRecord& TRecord::Add(const char* name, long long value) {
  FLine += '\t';
  FLine += name;
  FLine += '=';
  FLine += std::to_string(value);
  return *this;
}

TRecord& TRecord::AddHex(const char* name, unsigned long long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx", value);
  FLine += '\t';
  FLine += name;
  FLine += '=';
  FLine += buffer;
  return *this;
}

TRecord& TRecord::AddFlag(const char* name, bool value) { return Add(name, value ? 1LL : 0LL); }

// Raw bytes on the standard handle: under Wine a pipe passes them through untouched.
static void Write(HANDLE handle, const std::string& line) {
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void TRecord::Print() const { Write(GetStdHandle(STD_OUTPUT_HANDLE), FLine); }

void PrintError(const std::wstring& message) { Write(GetStdHandle(STD_ERROR_HANDLE), "probe: " + Utf8(message)); }

}  // namespace probe
