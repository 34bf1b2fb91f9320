#pragma once
// Windows resources with one owner each: an owned handle is freed by its kind's own call,
// exactly once, also when an exception passes; a selection into a DC, a paint and a borrowed DC
// end with their scope.
//
// Creating a window, a window class, a font or a menu raises EOSError when Windows refuses.
// Paint-time objects (memory DCs, bitmaps, pens) do not: a paint that raised would raise again
// at every repaint, so a failure there only draws less.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace platform::win32 {

template <class TRaw>
TRaw NoHandle() noexcept {
  return nullptr;
}
inline HANDLE InvalidHandle() noexcept { return INVALID_HANDLE_VALUE; }

// A handle of type TRaw that TClose frees; None() is the value that holds nothing.
template <class TRaw, class TClose, TRaw (*None)() = NoHandle<TRaw>>
class TOwned {
 public:
  TOwned() = default;
  explicit TOwned(TRaw handle) noexcept : FHandle(handle) {}
  TOwned(TOwned&& other) noexcept : FHandle(other.Release()) {}
  TOwned& operator=(TOwned&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;
  ~TOwned() { Reset(); }

  TRaw Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != None(); }
  // Hands the handle over unfreed; this then holds nothing.
  TRaw Release() noexcept { return std::exchange(FHandle, None()); }
  // Frees the handle held, if any, and holds `handle` instead.
  void Reset(TRaw handle = None()) noexcept {
    if (FHandle != None()) TClose()(FHandle);
    FHandle = handle;
  }

 private:
  TRaw FHandle = None();
};

struct TCloseHandle {
  void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
struct TFindClose {
  void operator()(HANDLE search) const noexcept { ::FindClose(search); }
};
// Free a GDI object only once no DC has it selected.
struct TDeleteObject {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct TDeleteDC {
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
struct TDestroyMenu {
  void operator()(HMENU menu) const noexcept { ::DestroyMenu(menu); }
};
// Destroying a window takes its children and the windows it owns along.
struct TDestroyWindow {
  void operator()(HWND window) const noexcept {
    if (::IsWindow(window)) ::DestroyWindow(window);
  }
};

using TOwnedHandle = TOwned<HANDLE, TCloseHandle>;               // processes, threads, events
using TOwnedFile = TOwned<HANDLE, TCloseHandle, InvalidHandle>;  // CreateFileW's
using TOwnedFind = TOwned<HANDLE, TFindClose, InvalidHandle>;    // FindFirstFileW's
using TOwnedFont = TOwned<HFONT, TDeleteObject>;
using TOwnedBrush = TOwned<HBRUSH, TDeleteObject>;
using TOwnedPen = TOwned<HPEN, TDeleteObject>;
using TOwnedBitmap = TOwned<HBITMAP, TDeleteObject>;
using TOwnedMemoryDc = TOwned<HDC, TDeleteDC>;  // CreateCompatibleDC's; a window's DC is borrowed (TWindowDc)
using TOwnedMenu = TOwned<HMENU, TDestroyMenu>;
using TOwnedWindow = TOwned<HWND, TDestroyWindow>;  // a window the program made

// `object` selected into `dc` for the scope; the object it replaced comes back at the end.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) noexcept : FDc(dc), FFormer(::SelectObject(dc, object)) {}
  ~TSelection() {
    if (FFormer) ::SelectObject(FDc, FFormer);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FFormer;
};

// One WM_PAINT's drawing: BeginPaint on construction, EndPaint at the end of the scope.
class TPaint {
 public:
  explicit TPaint(HWND window) noexcept : FWindow(window), FDc(::BeginPaint(window, &FPaint)) {}
  ~TPaint() { ::EndPaint(FWindow, &FPaint); }
  TPaint(const TPaint&) = delete;
  TPaint& operator=(const TPaint&) = delete;
  HDC Dc() const noexcept { return FDc; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDc;
};

// A window's DC, or the screen's for no window, borrowed for the scope.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window = nullptr) noexcept : FWindow(window), FDc(::GetDC(window)) {}
  ~TWindowDc() {
    if (FDc) ::ReleaseDC(FWindow, FDc);
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC Get() const noexcept { return FDc; }

 private:
  HWND FWindow;
  HDC FDc;
};

// The system's text for an error code, without the line break it ends in.
std::u16string ErrorText(DWORD code);
// Raises the calling thread's last error as EOSError whose message begins with `what`.
[[noreturn]] void RaiseLastError(std::u16string_view what);
// `handle` when Windows gave one; else its last error is raised.
template <class THandleType>
THandleType Checked(THandleType handle, std::u16string_view what) {
  if (!handle) RaiseLastError(what);
  return handle;
}

}  // namespace platform::win32
