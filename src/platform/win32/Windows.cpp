#include <vector>

#include "platform/win32/Win32.h"

namespace platform::win32 {

namespace {
BOOL CALLBACK EnumThunk(HWND window, LPARAM context) {
  auto* callback = reinterpret_cast<const std::function<bool(THandle)>*>(context);
  return (*callback)(T(window)) ? TRUE : FALSE;
}
}  // namespace

void TWin32Windows::EnumWindows(const std::function<bool(THandle)>& callback) {
  ::EnumWindows(EnumThunk, reinterpret_cast<LPARAM>(&callback));
}

std::u16string TWin32Windows::WindowTitle(THandle window, int maxCount) {
  if (maxCount <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(maxCount), L'\0');
  int length = ::GetWindowTextW(H(window), buffer.data(), maxCount);
  return U(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void TWin32Windows::PostClose(THandle window) { ::PostMessageW(H(window), WM_CLOSE, 0, 0); }

void TWin32Windows::SetForegroundWindow(THandle window) { ::SetForegroundWindow(H(window)); }

void TWin32Windows::SetTopmost(THandle window, bool topmost) {
  ::SetWindowPos(H(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

TSize TWin32Windows::PrimaryScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace platform::win32
