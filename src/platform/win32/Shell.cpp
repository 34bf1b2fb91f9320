#include "platform/win32/Win32.h"

#include <shellapi.h>

namespace platform::win32 {

TShellResult TWin32Shell::Execute(const TShellRequest& request) {
  SHELLEXECUTEINFOW info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = request.Mask;
  info.hwnd = ToHwnd(request.Wnd);
  info.lpVerb = WideText(request.Verb);  // an empty verb is an empty string, not null
  info.lpFile = WideText(request.File);
  info.lpParameters = WideText(request.Parameters);
  info.lpDirectory = nullptr;
  info.nShow = request.Show;
  ::ShellExecuteExW(&info);  // success is judged from hInstApp alone
  TShellResult result;
  result.InstApp = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(info.hInstApp));
  result.Process = reinterpret_cast<THandle>(info.hProcess);
  return result;
}

std::uint32_t TWin32Shell::WaitForInputIdle(THandle process, std::uint32_t milliseconds) {
  return ::WaitForInputIdle(reinterpret_cast<HANDLE>(process), milliseconds);
}

void TWin32Shell::CloseHandle(THandle handle) { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

}  // namespace platform::win32
