// Forms and controls as real Win32 windows. Each peer pushes its control's state to its
// window; the window procedure turns notifications back into the control's User* calls.
#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <vector>

namespace platform::win32 {

namespace {

const wchar_t* const cFormClass = L"QuorvelForm";
constexpr int cFirstControlId = 1000;
constexpr UINT cFirstMenuId = 2000;

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

TControl* ControlOf(HWND window) { return reinterpret_cast<TControl*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  return U(text.data());
}
TForm* FormOf(HWND window) { return reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

class TWin32ControlPeer : public IControlPeer {
 public:
  TWin32ControlPeer(TControl& control, HWND window) : FControl(control), FWindow(window) {}
  ~TWin32ControlPeer() override {
    if (IsWindow(FWindow)) SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
  }
  THandle Handle() const override { return T(FWindow); }
  void Changed(TProperty what) override {
    switch (what) {
      case TProperty::Text:
      case TProperty::Action:
        // Writing a box's own text back would move its caret to the start under a typing user.
        if (WindowText(FWindow) != FControl.Text()) SetWindowTextW(FWindow, W(FControl.Text()));
        break;
      case TProperty::Enabled:
        EnableWindow(FWindow, FControl.Enabled() ? TRUE : FALSE);
        break;
      case TProperty::Checked:
        if (auto* box = dynamic_cast<TCheckBox*>(&FControl))
          SendMessageW(FWindow, BM_SETCHECK, box->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case TProperty::Bounds: {
        TRect at = FControl.FormBounds();
        SetWindowPos(FWindow, nullptr, at.Left, at.Top, at.Width, at.Height, SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      case TProperty::ReadOnly:
        if (auto* edit = dynamic_cast<TEdit*>(&FControl)) SendMessageW(FWindow, EM_SETREADONLY, edit->ReadOnly, 0);
        break;
      case TProperty::Focus:
        ::SetFocus(FWindow);
        break;
      case TProperty::Content:
        break;
    }
  }

 private:
  TControl& FControl;
  HWND FWindow;
};

class TWin32FormPeer : public IFormPeer {
 public:
  TWin32FormPeer(TForm& form, HWND window) : FForm(form), FWindow(window) {}
  ~TWin32FormPeer() override {
    if (IsWindow(Window())) SetWindowLongPtrW(Window(), GWLP_USERDATA, 0);
  }
  THandle Handle() const override { return T(Window()); }
  HWND Window() const { return FWindow.Get(); }
  void Changed(TProperty what) override {
    if (what == TProperty::Text) SetWindowTextW(Window(), W(FForm.Text()));
    if (what == TProperty::Bounds)
      SetWindowPos(Window(), nullptr, FForm.Left(), FForm.Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (what == TProperty::Enabled) EnableWindow(Window(), FForm.Enabled() ? TRUE : FALSE);
  }
  TRect WindowRect() const override {
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
  void SetFocus(TControl* control) override {
    if (control && control->Handle()) ::SetFocus(H(control->Handle()));
  }
  TControl* Focused() const override {
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != Window()) return nullptr;
    while (focus && GetParent(focus) != Window()) focus = GetParent(focus);
    return focus ? ControlOf(focus) : nullptr;
  }
  void Show() override {
    ShowWindow(Window(), SW_SHOWNORMAL);
    UpdateWindow(Window());
    FocusFirst();
  }
  int ShowModal() override {
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
  void Close() override {
    ShowWindow(Window(), SW_HIDE);
    auto& app = static_cast<TWin32App&>(Current().App());
    if (Window() == app.MainWindow) PostQuitMessage(0);
  }
  void FocusFirst() {
    TControl* first = nullptr;
    for (TControl* control : FForm.Controls)
      if (control->TabOrder >= 0 && control->Enabled() && (!first || control->TabOrder < first->TabOrder))
        first = control;
    if (first) SetFocus(first);
  }
  HWND SavedFocus = nullptr;

 private:
  TForm& FForm;
  TOwnedWindow FWindow;
};

TControl* FindById(TForm& form, int id) {
  int index = id - cFirstControlId;
  if (index < 0 || index >= static_cast<int>(form.Controls.size())) return nullptr;
  return form.Controls[static_cast<std::size_t>(index)];
}

int IdOf(TForm& form, const TControl* control) {
  for (std::size_t i = 0; i < form.Controls.size(); ++i)
    if (form.Controls[i] == control) return cFirstControlId + static_cast<int>(i);
  return 0;
}

void OnCommand(TForm& form, WPARAM wParam, LPARAM lParam) {
  TControl* control = lParam ? ControlOf(reinterpret_cast<HWND>(lParam)) : nullptr;
  if (!control) control = FindById(form, LOWORD(wParam));
  if (!control) return;
  WORD code = HIWORD(wParam);
  if (auto* edit = dynamic_cast<TEdit*>(control)) {
    if (code == EN_CHANGE) edit->UserChanged(WindowText(H(edit->Handle())));
  } else if (auto* box = dynamic_cast<TCheckBox*>(control)) {
    if (code == BN_CLICKED) box->SetChecked(SendMessageW(H(box->Handle()), BM_GETCHECK, 0, 0) == BST_CHECKED);
  } else if (auto* button = dynamic_cast<TButton*>(control)) {
    if (code == BN_CLICKED) button->UserClick();
  }
}

void ShowPopup(TForm& form, HWND window, LPARAM lParam) {
  TPopupMenu* popup = form.PopupMenu;
  if (!popup) return;
  popup->BeforePopup();
  TOwnedMenu owned(Checked(CreatePopupMenu(), u"CreatePopupMenu"));
  HMENU menu = owned.Get();
  for (std::size_t i = 0; i < popup->Items.size(); ++i) {
    const TMenuItem& item = popup->Items[i];
    if (item.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::u16string caption = item.Caption();
    if (item.Action() && !item.Action()->ShortCut.Empty()) {
      caption.push_back(u'\t');
      caption.append(item.Action()->ShortCut.Text());
    }
    AppendMenuW(menu, MF_STRING | (item.Enabled() ? MF_ENABLED : MF_GRAYED), cFirstMenuId + i, W(caption));
  }
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) {  // from the keyboard: at the window's corner
    at = {0, 0};
    ClientToScreen(window, &at);
  }
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
  if (chosen >= cFirstMenuId && chosen < cFirstMenuId + popup->Items.size()) popup->Items[chosen - cFirstMenuId].UserClick();
}

LRESULT HandleMessage(TForm& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(form, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU:
      ShowPopup(form, window, lParam);
      return 0;
    case WM_CLOSE:
      form.UserClose();
      return 0;
    case WM_SIZE:
      if (form.Border == TForm::TBorder::Sizeable && wParam != SIZE_MINIMIZED)
        form.UserResized(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_GETMINMAXINFO:
      if (form.MinClientWidth > 0 || form.MinClientHeight > 0) {
        RECT rect{0, 0, form.MinClientWidth, form.MinClientHeight};
        AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, rect.right - rect.left);
        info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, rect.bottom - rect.top);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // The dialog manager asks its host to move the focus (a label's accelerator does, in Wine).
      HWND next = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      if (next) ::SetFocus(next);
      return 0;
    }
    case DM_GETDEFID: {
      // Enter presses the focused push button, else the default button.
      TControl* focused = form.Focused();
      for (TControl* control : form.Controls) {
        auto* button = dynamic_cast<TButton*>(control);
        if (button && (focused == button || (!dynamic_cast<TButton*>(focused) && button->Default)))
          return MAKELRESULT(IdOf(form, button), DC_HASDEFID);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      TControl* control = ControlOf(reinterpret_cast<HWND>(lParam));
      HDC dc = reinterpret_cast<HDC>(wParam);
      TColor back = control ? control->Color : form.Color;
      if (control && control->Kind != TControlKind::Edit) back = form.Color;
      SetTextColor(dc, ColorRef(control ? control->Font.Color : clWindowText));
      SetBkColor(dc, ColorRef(back));
      return reinterpret_cast<LRESULT>(BrushFor(back));
    }
    case WM_ACTIVATE: {
      auto* peer = static_cast<TWin32FormPeer*>(form.FormPeer());
      if (!peer) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        peer->SavedFocus = GetFocus();
      } else if (peer->SavedFocus && IsWindow(peer->SavedFocus)) {
        ::SetFocus(peer->SavedFocus);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TForm* form = FormOf(window);
  if (!form) return DefWindowProcW(window, message, wParam, lParam);
  // No error may cross into Windows' code.
  try {
    return HandleMessage(*form, window, message, wParam, lParam);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return 0;
}

void RegisterFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = cFormClass;
  Checked(RegisterClassExW(&wc), u"RegisterClassExW (QuorvelForm)");
  registered = true;
}

HWND CreateChild(TForm& form, HWND parent, TControl& control, int id) {
  const wchar_t* className = L"STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  switch (control.Kind) {
    case TControlKind::Edit: {
      auto& edit = static_cast<TEdit&>(control);
      className = L"EDIT";
      style |= ES_AUTOHSCROLL | (edit.ReadOnly ? ES_READONLY : 0);
      exStyle = WS_EX_CLIENTEDGE;
      break;
    }
    case TControlKind::Button: {
      auto& button = static_cast<TButton&>(control);
      className = L"BUTTON";
      style |= button.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      break;
    }
    case TControlKind::CheckBox:
      className = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case TControlKind::Panel:
      // Beneath the controls that stand in it: it must not paint over them.
      style |= SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | WS_CLIPSIBLINGS;
      break;
    case TControlKind::Label: {
      auto& label = static_cast<TLabel&>(control);
      style |= control.Alignment == TAlignment::Right    ? SS_RIGHT
               : control.Alignment == TAlignment::Center ? SS_CENTER
                                                         : SS_LEFT;
      // Only a label that leads to a box has an accelerator; others show '&' as it is.
      if (!label.FocusControl) style |= SS_NOPREFIX;
      break;
    }
    default:
      break;
  }
  if (control.TabOrder >= 0) style |= WS_TABSTOP;
  if (!control.Enabled()) style |= WS_DISABLED;
  (void)form;
  TRect at = control.FormBounds();
  HWND window = Checked(CreateWindowExW(exStyle, className, W(control.Text()), style, at.Left, at.Top, at.Width, at.Height,
                                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                        nullptr),
                        u"CreateWindowExW (" + U(className) + u")");
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font)), FALSE);
  if (auto* box = dynamic_cast<TCheckBox*>(&control))
    SendMessageW(window, BM_SETCHECK, box->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (auto* edit = dynamic_cast<TEdit*>(&control); edit && edit->ImeOff) ImmAssociateContext(window, nullptr);
  return window;
}

}  // namespace

void TWin32Widgets::CreateForm(TForm& form) {
  RegisterFormClass();
  TSize outer = OuterSize(form);
  HWND owner = form.Owner ? H(form.Owner->Handle()) : nullptr;
  HWND window = Checked(CreateWindowExW(FormExStyle(form), cFormClass, W(form.Text()), FormStyle(form), form.Left(),
                                        form.Top(), outer.Width, outer.Height, owner, nullptr, GetModuleHandleW(nullptr), nullptr),
                        u"CreateWindowExW (QuorvelForm)");
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(form.Font)), FALSE);
  form.AttachPeer(std::make_unique<TWin32FormPeer>(form, window));
  for (std::size_t i = 0; i < form.Controls.size(); ++i) {
    TControl& control = *form.Controls[i];
    const int id = cFirstControlId + static_cast<int>(i);
    if (auto* grid = dynamic_cast<TCustomGrid*>(&control)) {
      control.AttachPeer(CreateGridPeer(*grid, window, id));
      continue;
    }
    if (auto* navigator = dynamic_cast<TCustomNavigator*>(&control)) {
      control.AttachPeer(CreateNavigatorPeer(*navigator, window, id));
      continue;
    }
    HWND child = CreateChild(form, window, control, id);
    control.AttachPeer(std::make_unique<TWin32ControlPeer>(control, child));
  }
  // Controls stand in their panels only on screen: every window is the form's child.
  for (TControl* control : form.Controls)
    if (control->Kind == TControlKind::Panel)
      SetWindowPos(H(control->Handle()), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TSize TWin32Widgets::TextExtent(const TFont& font, const std::u16string& text, bool prefix) {
  const TWindowDc screen;
  const TSelection selected(screen.Get(), FontFor(font));
  RECT rect{0, 0, 0, 0};
  DrawTextW(screen.Get(), W(text), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

TSize TWin32Widgets::OuterSize(const TForm& form) {
  RECT rect{0, 0, form.ClientWidth, form.ClientHeight};
  AdjustWindowRectEx(&rect, FormStyle(form), FALSE, FormExStyle(form));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

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
      const TShortCut pressed{GetKeyState(VK_CONTROL) < 0, static_cast<char16_t>(message.wParam), GetKeyState(VK_SHIFT) < 0,
                              GetKeyState(VK_MENU) < 0};
      if (pressed.Ctrl && form->ActionList->HandleShortCut(pressed)) return true;
    }
    // A label leads to its box itself: the dialog manager's way depends on the windows' order.
    if (message.message == WM_SYSCHAR && message.wParam <= 0xFFFF) {
      if (TControl* target = form->AcceleratorTarget(static_cast<char16_t>(message.wParam)); target && target->Handle()) {
        ::SetFocus(H(target->Handle()));
        if (target->Kind == TControlKind::Edit) SendMessageW(H(target->Handle()), EM_SETSEL, 0, -1);
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
