#include <exception>
#include <vector>

#include "platform/win32/Win32.h"

namespace platform::win32 {

namespace {

// What the enumeration carries through Windows' code: the callback, and the error it raised.
struct TEnumeration {
  const std::function<bool(THandle)>& Callback;
  std::exception_ptr Error;
};

// No error may unwind through Windows' code: the first one ends the enumeration, and
// EnumWindows raises it again to its caller, as the stand-in's enumeration lets it through.
BOOL CALLBACK EnumThunk(HWND window, LPARAM context) {
  auto& enumeration = *reinterpret_cast<TEnumeration*>(context);
  try {
    return enumeration.Callback(ToHandle(window)) ? TRUE : FALSE;
  } catch (...) {
    enumeration.Error = std::current_exception();
  }
  return FALSE;
}

}  // namespace

void TWin32Windows::EnumWindows(const std::function<bool(THandle)>& callback) {
  TEnumeration enumeration{callback, nullptr};
  ::EnumWindows(EnumThunk, reinterpret_cast<LPARAM>(&enumeration));
  if (enumeration.Error) std::rethrow_exception(enumeration.Error);
}

std::u16string TWin32Windows::WindowTitle(THandle window, int maxCount) {
  if (maxCount <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(maxCount), L'\0');
  int length = ::GetWindowTextW(ToHwnd(window), buffer.data(), maxCount);
  return FromWide(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void TWin32Windows::PostClose(THandle window) { ::PostMessageW(ToHwnd(window), WM_CLOSE, 0, 0); }

void TWin32Windows::SetForegroundWindow(THandle window) { ::SetForegroundWindow(ToHwnd(window)); }

void TWin32Windows::SetTopmost(THandle window, bool topmost) {
  ::SetWindowPos(ToHwnd(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

TSize TWin32Windows::PrimaryScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace platform::win32
