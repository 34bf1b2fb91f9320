// A converter for tests, copied into a test folder as Halvorn.exe. It logs how it was started,
// then does what the document's own lines ask:
//   license=… application=… callsign=…  the values it writes to section main of Halvorn.ini
//   pdf=no                               write no PDF
//   busy-ms=N                            first stay N ms without a message queue (not idle)
//   linger-ms=N                          at the end wait for input in a hidden window for up to
//                                        N ms, or until it gets WM_CLOSE
// Started as "StandInConverter --rmw-ms N" it instead rewrites Halvorn.ini in place again and
// again for N ms, as the converter does: open for reading and writing, no sharing, created when
// missing; read, change callsign, write back. It logs how often it found no file.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <optional>
#include <string>

#include "Arguments.h"
#include "FileIo.h"
#include "IniMain.h"
#include "Pdf.h"
#include "StandInLog.h"
#include "Utf.h"

namespace {

constexpr UINT_PTR cLingerTimer = 1;

std::map<std::u16string, std::u16string> Directives(const std::string& bytes) {
  std::map<std::u16string, std::u16string> directives;
  std::u16string text = halvorn::FromUtf8(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    std::size_t equals = line.find(u'=');
    if (equals != std::u16string::npos) directives[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return directives;
}

unsigned Milliseconds(const std::map<std::u16string, std::u16string>& directives, const std::u16string& key) {
  auto found = directives.find(key);
  unsigned value = 0;
  if (found != directives.end())
    for (char16_t c : found->second)
      if (c >= u'0' && c <= u'9') value = value * 10 + (c - u'0');
  return value;
}

std::u16string Value(const std::map<std::u16string, std::u16string>& directives, const std::u16string& key) {
  auto found = directives.find(key);
  return found == directives.end() ? std::u16string() : found->second;
}

LRESULT CALLBACK LingerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
    case WM_CLOSE:
      standin::Log(message == WM_CLOSE ? u"WM_CLOSE" : u"linger over");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Idles in a message loop, the state WaitForInputIdle waits for.
void Linger(unsigned milliseconds) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = LingerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuorvelStandInConverter";
  RegisterClassW(&windowClass);
  std::wstring title = L"StandInConverter " + std::to_wstring(GetCurrentProcessId());
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, cLingerTimer, milliseconds, nullptr);
  standin::Log(u"idle");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

void ReadModifyWriteLoop(unsigned milliseconds) {
  int opens = 0, busy = 0, missing = 0;
  for (const ULONGLONG end = GetTickCount64() + milliseconds; GetTickCount64() < end;) {
    HANDLE file = CreateFileW(L"Halvorn.ini", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE && ++busy) continue;
    missing += GetLastError() != ERROR_ALREADY_EXISTS;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD done = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    bytes = halvorn::SetMainEntries(bytes, {{u"callsign", halvorn::FromUtf8("CS-" + std::to_string(++opens))}});
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    SetEndOfFile(file);
    CloseHandle(file);
  }
  standin::Log(halvorn::FromUtf8("rmw opens=" + std::to_string(opens) + " busy=" + std::to_string(busy) +
                                 " missing=" + std::to_string(missing)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::u16string commandLine = standin::CommandLine();
  standin::Log(u"start pid=" + halvorn::FromUtf8(std::to_string(GetCurrentProcessId())));
  standin::Log(u"commandline=" + commandLine);
  standin::Log(u"parameters=" + standin::Parameters(commandLine));
  standin::Log(u"cwd=" + standin::CurrentDirectory());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  standin::Log(u"show=" + halvorn::FromUtf8(std::to_string(show)));

  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> args;
  for (int i = 1; argv && i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  LocalFree(argv);
  if (args.size() == 2 && args[0] == u"--rmw-ms") {
    ReadModifyWriteLoop(Milliseconds({{u"n", args[1]}}, u"n"));
    return 0;
  }
  halvorn::TArguments parsed;
  std::u16string error;
  if (!halvorn::ParseArguments(args, parsed, error)) {
    standin::Log(u"error " + error);
    return 1;
  }
  std::map<std::u16string, std::u16string> directives;
  try {
    std::optional<std::string> document = halvorn::ReadWholeFile(parsed.Document);
    if (document) directives = Directives(*document);

    if (unsigned busy = Milliseconds(directives, u"busy-ms")) Sleep(busy);
    if (Value(directives, u"pdf") != u"no") {
      halvorn::WriteFileSafely(parsed.Pdf, halvorn::MakePdf(standin::FileNamePart(parsed.Pdf),
                                                            {{u"Stand-in conversion of " + parsed.Document, 12}}));
      standin::Log(u"wrote pdf=" + parsed.Pdf);
    }
    std::u16string ini = halvorn::FullPath(u"Halvorn.ini");
    std::string bytes = halvorn::ReadWholeFile(ini).value_or(std::string());
    halvorn::WriteFileSafely(ini, halvorn::SetMainEntries(bytes, {{u"filename", parsed.Document},
                                                                  {u"license", Value(directives, u"license")},
                                                                  {u"application", Value(directives, u"application")},
                                                                  {u"callsign", Value(directives, u"callsign")}}));
    standin::Log(u"wrote ini=" + ini);
  } catch (const std::exception& failure) {
    standin::Log(u"error " + halvorn::FromUtf8(failure.what()));
    return 2;
  }
  if (unsigned linger = Milliseconds(directives, u"linger-ms")) Linger(linger);
  standin::Log(u"exit");
  return 0;
}
