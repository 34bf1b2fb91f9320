// A PDF viewer for tests, registered in the test prefix as the ".pdf" handler. It shows one
// window titled "<file name> - StandInViewer", as viewers show the file they display, and
// logs how it was started and every close request, so that tests see which viewers were asked
// to close. It stays up until it gets WM_CLOSE, or for 60 s at most.
#include <windows.h>

#include <string>

#include "StandInLog.h"
#include "Utf.h"

namespace {

constexpr UINT_PTR cLifeTimer = 1;
constexpr UINT cLifeMs = 60000;

std::u16string Pid() { return halvorn::FromUtf8(std::to_string(GetCurrentProcessId())); }

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      standin::Log(u"WM_CLOSE pid=" + Pid());
      DestroyWindow(window);
      return 0;
    case WM_TIMER:
      standin::Log(u"timeout pid=" + Pid());
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The first argument, without the quotes the shell's command template puts around it.
std::u16string FirstArgument(const std::u16string& parameters) {
  if (!parameters.empty() && parameters[0] == u'"') {
    std::size_t end = parameters.find(u'"', 1);
    return parameters.substr(1, end == std::u16string::npos ? std::u16string::npos : end - 1);
  }
  return parameters.substr(0, parameters.find(u' '));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::u16string parameters = standin::Parameters(standin::CommandLine());
  const std::u16string file = FirstArgument(parameters);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  standin::Log(u"open pid=" + Pid() + u" show=" + halvorn::FromUtf8(std::to_string(show)) + u" file=" + file);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ViewerProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QuorvelStandInViewer";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&windowClass);
  const std::u16string title = standin::FileNamePart(file) + u" - StandInViewer";
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, reinterpret_cast<const wchar_t*>(title.c_str()),
                                WS_OVERLAPPEDWINDOW, 40, 40, 320, 200, nullptr, nullptr, instance, nullptr);
  // Shown whatever the show state asked: the user must see the PDF (the shell passes SW_HIDE).
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(window, cLifeTimer, cLifeMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  standin::Log(u"exit pid=" + Pid());
  return 0;
}
