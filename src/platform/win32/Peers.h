#pragma once
// The Win32 side of a form's controls. Each control has a peer that owns the control's child
// window of the form, and each kind of control has a peer class of its own: it pushes the
// control's state to the window and turns the window's notifications into the control's User*
// calls. The form and the custom controls are windows of classes of our own, whose messages go
// to their peers; no error raised there crosses into Windows' code.
#include <memory>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

// Runs a window procedure's body as a handler: an error is reported and the message answered
// with 0; when the outermost handler ends, the windows take the state it left.
template <class TBody>
LRESULT GuardedProc(TBody body) {
  LRESULT result = 0;
  {
    const THandlerRun run;
    try {
      result = body();
    } catch (const std::exception& error) {
      ReportError(error);
    }
  }
  if (THandlerRun::Running()) return result;
  try {
    UpdatePeers();
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return result;
}

// What a window of a class of our own hands its messages to.
class IWindowProc {
 public:
  virtual LRESULT Proc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IWindowProc() = default;
};

// Registers a class of our own on first use; its windows' messages go to the IWindowProc that
// Listen names, and until then to DefWindowProcW. No small icon: Windows shrinks `icon`.
void RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HBRUSH background,
                         HICON smallIcon = nullptr);
// `window`'s messages go to `proc` from now on; null hands them back to DefWindowProcW.
void Listen(HWND window, IWindowProc* proc);

std::u16string WindowText(HWND window);

// The peer of one child window of a form; the window sits in the peer, the peer in the window's
// GWLP_USERDATA.
class TWin32Peer : public IControlPeer {
 public:
  ~TWin32Peer() override;
  THandle Handle() const override { return ToHandle(Window()); }
  // Moves and enables the window; each kind adds what else its window shows.
  void Changed(TProperty what) override;
  // A WM_COMMAND notification that the window sent its form.
  virtual void Command(WORD code);

  HWND Window() const { return FWindow.Get(); }
  TControl& Control() const { return FControl; }

 protected:
  TWin32Peer(TControl& control, TOwnedWindow window);

 private:
  TControl& FControl;
  TOwnedWindow FWindow;
};

// The peer of a child window of a form; null for a window without one.
TWin32Peer* PeerOf(HWND window);

// A child window of `form` for `control` with this id: at the control's place, with its text,
// in its font, disabled and a tab stop as the control is.
TOwnedWindow CreateChildWindow(const wchar_t* className, DWORD exStyle, DWORD style, const TControl& control, HWND form,
                               int id);

// A peer whose window is of a class of our own: it draws the control and takes its input.
class TCustomWindowPeer : public TWin32Peer, public IWindowProc {
 public:
  ~TCustomWindowPeer() override;
  LRESULT Proc(UINT message, WPARAM wParam, LPARAM lParam) final;

 protected:
  TCustomWindowPeer(TControl& control, const wchar_t* className, DWORD exStyle, DWORD style, HWND form, int id);
  // Draws the whole client area, `client`, into `dc`: an off-screen bitmap, copied to the
  // window in one piece so that nothing flickers.
  virtual void Paint(HDC dc, const RECT& client) = 0;
  // Every message but the paint's.
  virtual LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  void PaintBuffered(HDC target);
};

// The form's window and what it routes: commands, the popup menu, the default button, sizes.
std::unique_ptr<IFormPeer> CreateFormPeer(TForm& form);
DWORD FormStyle(const TForm& form);
DWORD FormExStyle(const TForm& form);

// Each kind's peer, as a child of the form window `form` with this control id.
std::unique_ptr<IControlPeer> CreateEditPeer(TEdit& edit, HWND form, int id);
std::unique_ptr<IControlPeer> CreateButtonPeer(TButton& button, HWND form, int id);
std::unique_ptr<IControlPeer> CreateCheckBoxPeer(TCheckBox& box, HWND form, int id);
std::unique_ptr<IControlPeer> CreateLabelPeer(TLabel& label, HWND form, int id);
std::unique_ptr<IControlPeer> CreatePanelPeer(TControl& panel, HWND form, int id);
std::unique_ptr<IControlPeer> CreateGridPeer(TCustomGrid& grid, HWND form, int id);
std::unique_ptr<IControlPeer> CreateNavigatorPeer(TCustomNavigator& navigator, HWND form, int id);

}  // namespace platform::win32
