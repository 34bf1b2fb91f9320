// A form as a top-level window of our own class: it routes its controls' notifications to their
// peers, shows the popup menu, answers the dialog manager and runs the modal loop.
#include <algorithm>

#include "platform/win32/Peers.h"

namespace platform::win32 {

namespace {

const wchar_t* const cFormClass = L"QuorvelForm";
constexpr UINT cFirstMenuId = 2000;

TForm* FormOf(HWND window) { return reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The program's icon (resource 1) drawn for the size Windows shows; shared, so nobody frees it.
HICON ProgramIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

// As the dialog manager does when the keyboard moves the focus into an edit box: its whole text
// is selected, so that typing replaces it. A click leaves the caret where it falls.
void SelectWhole(HWND control) {
  if (control && SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

TOwnedWindow CreateFormWindow(const TForm& form) {
  HICON icon = ProgramIcon(SM_CXICON, SM_CYICON);
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);  // a program without the resource (the tests')
  RegisterWindowClass(cFormClass, 0, icon, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ProgramIcon(SM_CXSMICON, SM_CYSMICON));
  const TSize outer = form.OuterSize();
  HWND owner = form.Owner ? ToHwnd(form.Owner->Handle()) : nullptr;
  TOwnedWindow window(Checked(
      CreateWindowExW(FormExStyle(form), cFormClass, WideText(form.Text()), FormStyle(form), form.Left(), form.Top(),
                      outer.Width, outer.Height, owner, nullptr, GetModuleHandleW(nullptr), nullptr),
      u"CreateWindowExW (QuorvelForm)"));
  SendMessageW(window.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(form.Font)), FALSE);
  return window;
}

class TWin32FormPeer final : public IFormPeer, public IWindowProc {
 public:
  explicit TWin32FormPeer(TForm& form) : FForm(form), FWindow(CreateFormWindow(form)) {
    // Keyboard routing and the tests find the form there.
    SetWindowLongPtrW(Window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
    Listen(Window(), this);
  }
  ~TWin32FormPeer() override {
    if (!IsWindow(Window())) return;
    Listen(Window(), nullptr);
    SetWindowLongPtrW(Window(), GWLP_USERDATA, 0);
  }
  THandle Handle() const override { return ToHandle(Window()); }
  void Changed(TProperty what) override {
    if (what == TProperty::Text) SetWindowTextW(Window(), WideText(FForm.Text()));
    if (what == TProperty::Bounds)
      SetWindowPos(Window(), nullptr, FForm.Left(), FForm.Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (what == TProperty::Enabled) EnableWindow(Window(), FForm.Enabled() ? TRUE : FALSE);
  }
  TRect WindowRect() const override;
  void SetFocus(TControl* control) override {
    if (control && control->Handle()) ::SetFocus(ToHwnd(control->Handle()));
  }
  TControl* Focused() const override;
  void Show() override;
  int ShowModal() override;
  void Close() override;
  LRESULT Proc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND Window() const { return FWindow.Get(); }
  void ShowPopup(LPARAM at);
  LRESULT DefaultId() const;
  LRESULT ColorStatic(HWND control, HDC dc) const;
  void SchemeChanged(UINT message, WPARAM wParam, LPARAM lParam);

  TForm& FForm;
  TOwnedWindow FWindow;
  HWND FSavedFocus = nullptr;  // where the focus was when the window last went inactive
};

TRect TWin32FormPeer::WindowRect() const {
  RECT rect;
  WINDOWPLACEMENT placement;
  placement.length = sizeof(placement);
  if (IsIconic(Window()) && GetWindowPlacement(Window(), &placement)) {
    // The restored rectangle is in work-area coordinates.
    rect = placement.rcNormalPosition;
    MONITORINFO monitor;
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor))
      OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
  } else {
    GetWindowRect(Window(), &rect);
  }
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TControl* TWin32FormPeer::Focused() const {
  HWND focus = GetFocus();
  if (!focus || GetAncestor(focus, GA_ROOT) != Window()) return nullptr;
  while (focus && GetParent(focus) != Window()) focus = GetParent(focus);
  TWin32Peer* peer = PeerOf(focus);
  return peer ? &peer->Control() : nullptr;
}

void TWin32FormPeer::Show() {
  ShowWindow(Window(), SW_SHOWNORMAL);
  UpdateWindow(Window());
  FForm.SelectNext(nullptr, true);  // the first control in tab order
  if (IsChild(Window(), GetFocus())) SelectWhole(GetFocus());
}

int TWin32FormPeer::ShowModal() {
  HWND owner = GetWindow(Window(), GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  Show();
  MSG message;
  IApplication& app = Current().App();
  while (FForm.ModalResult == 0 && !app.Terminated()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      app.Terminate();
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner comes back before this window hides, so the activation returns to it.
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(Window(), SW_HIDE);
  return FForm.ModalResult;
}

void TWin32FormPeer::Close() {
  ShowWindow(Window(), SW_HIDE);
  auto& app = static_cast<TWin32App&>(Current().App());
  if (Window() == app.MainWindow) PostQuitMessage(0);
}

void TWin32FormPeer::ShowPopup(LPARAM lParam) {
  TPopupMenu* popup = FForm.PopupMenu;
  if (!popup) return;
  popup->BeforePopup();
  const TOwnedMenu menu(Checked(CreatePopupMenu(), u"CreatePopupMenu"));
  for (std::size_t i = 0; i < popup->Items.size(); ++i) {
    const TMenuItem& item = popup->Items[i];
    if (item.IsSeparator()) {
      AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::u16string caption = item.Caption();
    if (item.Action() && !item.Action()->ShortCut.Empty()) {
      caption.push_back(u'\t');
      caption.append(item.Action()->ShortCut.Text());
    }
    AppendMenuW(menu.Get(), MF_STRING | (item.Enabled() ? MF_ENABLED : MF_GRAYED), cFirstMenuId + i, WideText(caption));
  }
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) {  // from the keyboard: at the window's corner
    at = {0, 0};
    ClientToScreen(Window(), &at);
  }
  UpdatePeers();  // the menu's loop repaints the windows
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Window(), nullptr));
  if (chosen >= cFirstMenuId && chosen < cFirstMenuId + popup->Items.size())
    popup->Items[chosen - cFirstMenuId].UserClick();
}

// Enter presses the focused push button, else the default button.
LRESULT TWin32FormPeer::DefaultId() const {
  const TControl* focused = Focused();
  const bool onButton = focused && focused->Kind == TControlKind::Button;
  for (TControl* control : FForm.Controls) {
    if (control->Kind != TControlKind::Button) continue;
    if (control == focused || (!onButton && static_cast<TButton*>(control)->Default))
      return MAKELRESULT(GetDlgCtrlID(ToHwnd(control->Handle())), DC_HASDEFID);
  }
  return 0;
}

// Labels, check boxes and panels stand on the form's colour; a read-only edit box keeps its own.
LRESULT TWin32FormPeer::ColorStatic(HWND window, HDC dc) const {
  TWin32Peer* peer = PeerOf(window);
  const TControl* control = peer ? &peer->Control() : nullptr;
  const TColor back = control && control->Kind == TControlKind::Edit ? control->Color : FForm.Color;
  SetTextColor(dc, TextColorRef(control ? control->Font.Color : clWindowText));
  SetBkColor(dc, ColorRef(back));
  return reinterpret_cast<LRESULT>(BrushFor(back));
}

// Another colour scheme, or High Contrast turned on or off: the common controls hear of it from
// their top-level window, and everything is drawn again in the colours now in force.
void TWin32FormPeer::SchemeChanged(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTINGCHANGE && wParam != SPI_SETHIGHCONTRAST) return;
  if (message == WM_SYSCOLORCHANGE)
    for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SendMessageW(child, message, wParam, lParam);
  RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT TWin32FormPeer::Proc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      // From a control, or by id alone from the dialog manager.
      HWND from = lParam ? reinterpret_cast<HWND>(lParam) : GetDlgItem(Window(), LOWORD(wParam));
      if (TWin32Peer* peer = PeerOf(from)) peer->Command(HIWORD(wParam));
      return 0;
    }
    case WM_CONTEXTMENU: ShowPopup(lParam); return 0;
    case WM_CLOSE: FForm.UserClose(); return 0;
    case WM_SIZE:
      if (FForm.Border == TForm::TBorder::Sizeable && wParam != SIZE_MINIMIZED)
        FForm.UserResized(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_GETMINMAXINFO:
      if (FForm.MinClientWidth > 0 || FForm.MinClientHeight > 0) {
        RECT rect{0, 0, FForm.MinClientWidth, FForm.MinClientHeight};
        AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(Window(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(Window(), GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, rect.right - rect.left);
        info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, rect.bottom - rect.top);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // The dialog manager asks its host to move the focus (a label's accelerator does, in Wine).
      HWND next = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(Window(), GetFocus(), wParam != 0);
      if (next) {
        SelectWhole(next);
        ::SetFocus(next);
      }
      return 0;
    }
    case DM_GETDEFID: return DefaultId();
    case WM_CTLCOLORSTATIC: return ColorStatic(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: SchemeChanged(message, wParam, lParam); break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        FSavedFocus = GetFocus();
      } else if (FSavedFocus && IsWindow(FSavedFocus)) {
        ::SetFocus(FSavedFocus);
        return 0;
      }
      break;
    default: break;
  }
  return DefWindowProcW(Window(), message, wParam, lParam);
}

}  // namespace

DWORD FormStyle(const TForm& form) {
  DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
  if (form.SystemMenu) style |= WS_SYSMENU;
  if (form.MinimizeBox) style |= WS_MINIMIZEBOX;
  if (form.MaximizeBox) style |= WS_MAXIMIZEBOX;
  if (form.Border == TForm::TBorder::Sizeable) style |= WS_THICKFRAME;
  return style;
}

// An unowned form has its own task-bar button.
DWORD FormExStyle(const TForm& form) { return form.Owner ? WS_EX_DLGMODALFRAME : WS_EX_APPWINDOW; }

std::unique_ptr<IFormPeer> CreateFormPeer(TForm& form) { return std::make_unique<TWin32FormPeer>(form); }

bool PreTranslate(MSG& message) {
  if (!message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (!root) return false;
  wchar_t className[32] = {};
  GetClassNameW(root, className, 32);
  if (lstrcmpW(className, cFormClass) != 0) return false;
  TForm* form = FormOf(root);
  if (!form) return false;
  try {
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && form->ActionList &&
        message.wParam >= 'A' && message.wParam <= 'Z') {
      const TShortCut pressed{GetKeyState(VK_CONTROL) < 0, static_cast<char16_t>(message.wParam),
                              GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0};
      if (pressed.Ctrl && form->ActionList->HandleShortCut(pressed)) return true;
    }
    // A label leads to its box itself: the dialog manager's way depends on the windows' order.
    if (message.message == WM_SYSCHAR && message.wParam <= 0xFFFF) {
      if (TControl* target = form->AcceleratorTarget(static_cast<char16_t>(message.wParam));
          target && target->Handle()) {
        ::SetFocus(ToHwnd(target->Handle()));
        SelectWhole(ToHwnd(target->Handle()));
        return true;
      }
    }
  } catch (const std::exception& error) {
    ReportError(error);
    return true;
  }
  return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace platform::win32
