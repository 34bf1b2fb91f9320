#pragma once
// The window class and procedure that the custom controls (grid, navigator) share: each
// window hands its messages to the peer kept in its first extra slot, and no error that a
// peer raises crosses into Windows' code.
#include "platform/win32/Win32.h"

namespace platform::win32 {

class ICustomWindowPeer {
 public:
  virtual ~ICustomWindowPeer() = default;
  virtual LRESULT Proc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// A child of `form` with this id, of a class registered on first use. Messages reach `peer`
// from the moment this returns; the control sits in GWLP_USERDATA like every control's.
HWND CreateCustomWindow(const wchar_t* className, DWORD exStyle, DWORD style, TControl& control, HWND form, int id,
                        ICustomWindowPeer& peer);
// Cuts the window off from its peer and destroys it; nothing when it is gone already.
void DestroyCustomWindow(HWND window);

// Runs a window procedure's body; an error is reported and the message answered with 0.
template <class TBody>
LRESULT GuardedProc(TBody body) {
  try {
    return body();
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return 0;
}

}  // namespace platform::win32
