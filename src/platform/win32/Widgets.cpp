// Forms and their controls as real Win32 windows: each kind of control gets its own peer
// (Form.cpp, Controls.cpp, Grid.cpp, Navigator.cpp).
#include "platform/Exception.h"
#include "platform/win32/Peers.h"

namespace platform::win32 {

namespace {

constexpr int cFirstControlId = 1000;

std::unique_ptr<IControlPeer> CreatePeer(TControl& control, HWND form, int id) {
  switch (control.Kind) {
    case TControlKind::Edit: return CreateEditPeer(static_cast<TEdit&>(control), form, id);
    case TControlKind::Button: return CreateButtonPeer(static_cast<TButton&>(control), form, id);
    case TControlKind::CheckBox: return CreateCheckBoxPeer(static_cast<TCheckBox&>(control), form, id);
    case TControlKind::Label: return CreateLabelPeer(static_cast<TLabel&>(control), form, id);
    case TControlKind::Panel: return CreatePanelPeer(control, form, id);
    case TControlKind::Grid: return CreateGridPeer(static_cast<TCustomGrid&>(control), form, id);
    case TControlKind::Navigator: return CreateNavigatorPeer(static_cast<TCustomNavigator&>(control), form, id);
    case TControlKind::Form: break;
  }
  throw Exception(u"A form cannot stand in a form");
}

}  // namespace

void TWin32Widgets::CreateForm(TForm& form) {
  form.AttachPeer(CreateFormPeer(form));
  HWND window = ToHwnd(form.Handle());
  for (std::size_t i = 0; i < form.Controls.size(); ++i)
    form.Controls[i]->AttachPeer(CreatePeer(*form.Controls[i], window, cFirstControlId + static_cast<int>(i)));
  // Controls stand in their panels only on screen: every window is the form's child.
  for (TControl* control : form.Controls)
    if (control->Kind == TControlKind::Panel)
      SetWindowPos(ToHwnd(control->Handle()), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TSize TWin32Widgets::TextExtent(const TFont& font, const std::u16string& text, bool prefix) {
  const TWindowDc screen;
  const TSelection selected(screen.Get(), FontFor(font));
  RECT rect{0, 0, 0, 0};
  DrawTextW(screen.Get(), WideText(text), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

TSize TWin32Widgets::OuterSize(const TForm& form) {
  RECT rect{0, 0, form.ClientWidth, form.ClientHeight};
  AdjustWindowRectEx(&rect, FormStyle(form), FALSE, FormExStyle(form));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace platform::win32
