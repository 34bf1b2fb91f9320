// The standard controls' peers: edit boxes, push buttons, check boxes, labels and panels as the
// system's own EDIT, BUTTON and STATIC windows.
#include "platform/win32/Peers.h"

#include <imm.h>

namespace platform::win32 {

namespace {

// A window that shows its control's text.
class TTextPeer : public TWin32Peer {
 public:
  TTextPeer(TControl& control, TOwnedWindow window) : TWin32Peer(control, std::move(window)) {}
  void Changed(TProperty what) override {
    TWin32Peer::Changed(what);
    // Writing a box's own text back would move its caret to the start under a typing user.
    if ((what == TProperty::Text || what == TProperty::Action) && WindowText(Window()) != Control().Text())
      SetWindowTextW(Window(), WideText(Control().Text()));
  }
};

class TEditPeer final : public TTextPeer {
 public:
  TEditPeer(TEdit& edit, HWND form, int id)
      : TTextPeer(edit, CreateChildWindow(L"EDIT", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL | (edit.ReadOnly ? ES_READONLY : 0),
                                          edit, form, id)),
        FEdit(edit) {
    if (edit.ImeOff) ImmAssociateContext(Window(), nullptr);
  }
  void Command(WORD code) override {
    if (code == EN_CHANGE) FEdit.UserChanged(WindowText(Window()));
  }

 private:
  TEdit& FEdit;
};

class TButtonPeer final : public TTextPeer {
 public:
  TButtonPeer(TButton& button, HWND form, int id)
      : TTextPeer(button,
                  CreateChildWindow(L"BUTTON", 0, button.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, button, form, id)),
        FButton(button) {}
  void Command(WORD code) override {
    if (code == BN_CLICKED) FButton.UserClick();
  }

 private:
  TButton& FButton;
};

class TCheckBoxPeer final : public TTextPeer {
 public:
  TCheckBoxPeer(TCheckBox& box, HWND form, int id)
      : TTextPeer(box, CreateChildWindow(L"BUTTON", 0, BS_AUTOCHECKBOX, box, form, id)), FBox(box) {
    ShowChecked();
  }
  void Changed(TProperty what) override {
    TTextPeer::Changed(what);
    if (what == TProperty::Checked) ShowChecked();
  }
  // The box has ticked itself; the control follows.
  void Command(WORD code) override {
    if (code == BN_CLICKED) FBox.SetChecked(SendMessageW(Window(), BM_GETCHECK, 0, 0) == BST_CHECKED);
  }

 private:
  void ShowChecked() { SendMessageW(Window(), BM_SETCHECK, FBox.Checked() ? BST_CHECKED : BST_UNCHECKED, 0); }
  TCheckBox& FBox;
};

DWORD LabelStyle(const TLabel& label) {
  DWORD style = label.Alignment == TAlignment::Right    ? SS_RIGHT
                : label.Alignment == TAlignment::Center ? SS_CENTER
                                                        : SS_LEFT;
  // Only a label that leads to a box has an accelerator; others show '&' as it is.
  if (!label.FocusControl) style |= SS_NOPREFIX;
  return style;
}

}  // namespace

std::unique_ptr<IControlPeer> CreateEditPeer(TEdit& edit, HWND form, int id) {
  return std::make_unique<TEditPeer>(edit, form, id);
}

std::unique_ptr<IControlPeer> CreateButtonPeer(TButton& button, HWND form, int id) {
  return std::make_unique<TButtonPeer>(button, form, id);
}

std::unique_ptr<IControlPeer> CreateCheckBoxPeer(TCheckBox& box, HWND form, int id) {
  return std::make_unique<TCheckBoxPeer>(box, form, id);
}

std::unique_ptr<IControlPeer> CreateLabelPeer(TLabel& label, HWND form, int id) {
  return std::make_unique<TTextPeer>(label, CreateChildWindow(L"STATIC", 0, LabelStyle(label), label, form, id));
}

std::unique_ptr<IControlPeer> CreatePanelPeer(TControl& panel, HWND form, int id) {
  // Beneath the controls that stand in it: it must not paint over them.
  const DWORD style = SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | WS_CLIPSIBLINGS;
  return std::make_unique<TTextPeer>(panel, CreateChildWindow(L"STATIC", 0, style, panel, form, id));
}

}  // namespace platform::win32
