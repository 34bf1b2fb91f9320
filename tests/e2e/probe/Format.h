#pragma once
// The probe's output: one record per line, a kind word, then tab-separated name=value fields in UTF-8.
#include <windows.h>

#include <string>

namespace probe {

// wchar_t is UTF-16 on Windows; the probe talks only to Win32, so it keeps Win32's own strings.
class TRecord {
 public:
  explicit TRecord(const char* kind);
  TRecord& Add(const char* name, const std::wstring& value);
  TRecord& Add(const char* name, long long value);
  TRecord& AddHex(const char* name, unsigned long long value);
  TRecord& AddFlag(const char* name, bool value);
  void Print() const;

 private:
  std::string FLine;
};

// Tabs, line breaks and backslashes in texts are escaped as \t, \n, \r and \\ so one record stays one line.
std::string Escape(const std::wstring& text);
std::string Utf8(const std::wstring& text);
void PrintError(const std::wstring& message);

}  // namespace probe
