#include "platform/win32/Peers.h"

#include <algorithm>
#include <vector>

namespace platform::win32 {

namespace {

LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* proc = reinterpret_cast<IWindowProc*>(GetWindowLongPtrW(window, 0));
  if (!proc) return DefWindowProcW(window, message, wParam, lParam);
  return GuardedProc([&] { return proc->Proc(message, wParam, lParam); });
}

// Custom controls take double clicks and keep the arrow cursor; they paint their whole area.
TOwnedWindow CreateCustomWindow(const wchar_t* className, DWORD exStyle, DWORD style, const TControl& control,
                                HWND form, int id) {
  RegisterWindowClass(className, CS_DBLCLKS, nullptr, nullptr);
  return CreateChildWindow(className, exStyle, style, control, form, id);
}

}  // namespace

void RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HBRUSH background, HICON smallIcon) {
  static std::vector<std::wstring> registered;
  for (const std::wstring& name : registered)
    if (name == className) return;
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = OwnClassProc;
  wc.cbWndExtra = sizeof(LONG_PTR);  // the IWindowProc
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  Checked(RegisterClassExW(&wc), u"RegisterClassExW (" + FromWide(className) + u")");
  registered.emplace_back(className);
}

void Listen(HWND window, IWindowProc* proc) { SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(proc)); }

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  return FromWide(text.data());
}

TWin32Peer::TWin32Peer(TControl& control, TOwnedWindow window) : FControl(control), FWindow(std::move(window)) {
  SetWindowLongPtrW(Window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TWin32Peer::~TWin32Peer() {
  if (IsWindow(Window())) SetWindowLongPtrW(Window(), GWLP_USERDATA, 0);
}

void TWin32Peer::Changed(TProperty what) {
  if (what == TProperty::Bounds) {
    const TRect at = FControl.FormBounds();
    SetWindowPos(Window(), nullptr, at.Left, at.Top, at.Width, at.Height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (what == TProperty::Enabled) {
    EnableWindow(Window(), FControl.Enabled() ? TRUE : FALSE);
  }
}

void TWin32Peer::Command(WORD) {}

TWin32Peer* PeerOf(HWND window) {
  return window ? reinterpret_cast<TWin32Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

TOwnedWindow CreateChildWindow(const wchar_t* className, DWORD exStyle, DWORD style, const TControl& control, HWND form,
                               int id) {
  style |= WS_CHILD | WS_VISIBLE;
  if (control.TabOrder >= 0) style |= WS_TABSTOP;
  if (!control.Enabled()) style |= WS_DISABLED;
  const TRect at = control.FormBounds();
  TOwnedWindow window(Checked(
      CreateWindowExW(exStyle, className, WideText(control.Text()), style, at.Left, at.Top, at.Width, at.Height, form,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr),
      u"CreateWindowExW (" + FromWide(className) + u")"));
  SendMessageW(window.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font)), FALSE);
  return window;
}

TCustomWindowPeer::TCustomWindowPeer(TControl& control, const wchar_t* className, DWORD exStyle, DWORD style, HWND form,
                                     int id)
    : TWin32Peer(control, CreateCustomWindow(className, exStyle, style, control, form, id)) {
  Listen(Window(), this);
}

TCustomWindowPeer::~TCustomWindowPeer() {
  if (IsWindow(Window())) Listen(Window(), nullptr);
}

LRESULT TCustomWindowPeer::Proc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;  // the paint covers every pixel
  if (message != WM_PAINT) return Message(message, wParam, lParam);
  const TPaint paint(Window());
  PaintBuffered(paint.Dc());
  return 0;
}

void TCustomWindowPeer::PaintBuffered(HDC target) {
  RECT client;
  GetClientRect(Window(), &client);
  const TOwnedMemoryDc memory(CreateCompatibleDC(target));
  const TOwnedBitmap bitmap(CreateCompatibleBitmap(target, std::max(1L, client.right), std::max(1L, client.bottom)));
  if (!memory || !bitmap) return;
  const TSelection selected(memory.Get(), bitmap.Get());
  Paint(memory.Get(), client);
  BitBlt(target, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace platform::win32
