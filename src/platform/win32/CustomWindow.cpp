#include "platform/win32/CustomWindow.h"

#include <string>
#include <vector>

#include "platform/win32/Handles.h"

namespace platform::win32 {

namespace {

LRESULT CALLBACK CustomWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = reinterpret_cast<ICustomWindowPeer*>(GetWindowLongPtrW(window, 0));
  if (!peer) return DefWindowProcW(window, message, wParam, lParam);
  return GuardedProc([&] { return peer->Proc(message, wParam, lParam); });
}

void RegisterOnce(const wchar_t* className) {
  static std::vector<std::wstring> registered;
  for (const std::wstring& name : registered)
    if (name == className) return;
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = CustomWindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  Checked(RegisterClassExW(&wc), u"RegisterClassExW (" + U(className) + u")");
  registered.emplace_back(className);
}

}  // namespace

HWND CreateCustomWindow(const wchar_t* className, DWORD exStyle, DWORD style, TControl& control, HWND form, int id,
                        ICustomWindowPeer& peer) {
  RegisterOnce(className);
  TRect at = control.FormBounds();
  HWND window = Checked(CreateWindowExW(exStyle, className, L"", style, at.Left, at.Top, at.Width, at.Height, form,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr),
                        u"CreateWindowExW (" + U(className) + u")");
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
  SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(&peer));
  return window;
}

void DestroyCustomWindow(HWND window) {
  if (!IsWindow(window)) return;
  SetWindowLongPtrW(window, 0, 0);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

}  // namespace platform::win32
