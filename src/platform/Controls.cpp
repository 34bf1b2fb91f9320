#include "platform/Controls.h"

#include <algorithm>
#include <utility>

#include "platform/AtExit.h"

namespace platform {

std::u16string TShortCut::Text() const {
  if (Empty()) return {};
  std::u16string text = Ctrl ? u"Ctrl+" : u"";
  if (Shift) text += u"Shift+";
  if (Alt) text += u"Alt+";
  text += Key;
  return text;
}

char16_t AcceleratorOf(const std::u16string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    const char16_t next = caption[i + 1];
    if (next != u'&') return next >= u'a' && next <= u'z' ? static_cast<char16_t>(next - u'a' + u'A') : next;
    ++i;  // "&&" shows one "&"
  }
  return 0;
}

namespace {
int gHandlerDepth = 0;
std::vector<TControl*> gWaiting;   // in the order of their first change
std::vector<TControl*> gUpdating;  // being handed over now
}  // namespace

THandlerRun::THandlerRun() { ++gHandlerDepth; }
THandlerRun::~THandlerRun() { --gHandlerDepth; }
bool THandlerRun::Running() { return gHandlerDepth > 0; }

void UpdatePeers() {
  // A peer's update may send messages whose handlers change more: the round under way takes them.
  if (!gUpdating.empty()) return;
  while (!gWaiting.empty()) {
    gUpdating.swap(gWaiting);
    // A peer that fails leaves the controls after it waiting for the next round.
    const TAtExit done([] {
      for (TControl* control : gUpdating)
        if (control && control->FWaiting) gWaiting.push_back(control);
      gUpdating.clear();
    });
    for (TControl* control : gUpdating) {
      if (!control) continue;  // destroyed by an earlier update
      const unsigned waiting = std::exchange(control->FWaiting, 0u);
      for (unsigned bit = 0; bit < 32; ++bit)
        if ((waiting & (1u << bit)) && control->FPeer) control->FPeer->Changed(static_cast<TProperty>(bit));
    }
  }
}

TControl::TControl(TControlKind kind, std::string name) : Kind(kind), Name(std::move(name)) {}

TControl::~TControl() {
  if (FWaiting) gWaiting.erase(std::remove(gWaiting.begin(), gWaiting.end(), this), gWaiting.end());
  std::replace(gUpdating.begin(), gUpdating.end(), this, static_cast<TControl*>(nullptr));
  SetParent(nullptr);
  for (TControl* child : FChildren) child->FParent = nullptr;
}

void TControl::SetParent(TControl* parent) {
  if (FParent) {
    auto& siblings = FParent->FChildren;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  FParent = parent;
  if (parent) parent->FChildren.push_back(this);
}

TRect TControl::FormBounds() const {
  TRect bounds = Bounds;
  for (const TControl* parent = FParent; parent; parent = parent->FParent) {
    bounds.Left += parent->Bounds.Left;
    bounds.Top += parent->Bounds.Top;
  }
  return bounds;
}

void TControl::SetBounds(const TRect& bounds) {
  if (bounds == Bounds) return;
  Bounds = bounds;
  NotifyMoved();
}

void TControl::NotifyMoved() {
  Notify(TProperty::Bounds);
  for (TControl* child : FChildren) child->NotifyMoved();
}

void TControl::SetText(const std::u16string& value) {
  if (value == FText) return;
  FText = value;
  Notify(TProperty::Text);
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Notify(TProperty::Enabled);
}

void TControl::AttachPeer(std::unique_ptr<IControlPeer> peer) { FPeer = std::move(peer); }

void TControl::Notify(TProperty what) {
  if (!FPeer) return;
  if (!THandlerRun::Running()) {
    FPeer->Changed(what);
    return;
  }
  if (!FWaiting) gWaiting.push_back(this);
  FWaiting |= 1u << static_cast<unsigned>(what);
}

TAction::TAction(std::string name, std::u16string caption, TShortCut shortCut)
    : Name(std::move(name)), Caption(std::move(caption)), ShortCut(shortCut) {}

void TAction::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  for (TControl* client : FClients) client->SetEnabled(value);
}

bool TAction::Execute() {
  if (!FEnabled || !OnExecute) return false;
  OnExecute();
  return true;
}

void TAction::RemoveClient(TControl* client) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), client), FClients.end());
}

void TActionList::Update() {
  if (FUpdated) return;
  FUpdated = true;
  for (TAction* action : FActions)
    if (!action->OnExecute) action->SetEnabled(false);
}

bool TActionList::HandleShortCut(TShortCut shortCut) {
  Update();
  for (TAction* action : FActions) {
    // A disabled action lets the key pass on to the focused control.
    if (action->ShortCut == shortCut) return action->Execute();
  }
  return false;
}

TButton::~TButton() {
  if (FAction) FAction->RemoveClient(this);
}

void TButton::SetAction(TAction* action, const std::u16string& ownCaption) {
  if (FAction) FAction->RemoveClient(this);
  FAction = action;
  if (!action) return;
  action->AddClient(this);
  SetText(ownCaption.empty() ? action->Caption : ownCaption);
  SetEnabled(action->Enabled());
  Notify(TProperty::Action);
}

void TButton::UserClick() {
  if (!FEnabled) return;
  if (FAction) {
    FAction->Execute();
  } else if (OnClick) {
    OnClick();
  }
}

void TCheckBox::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  Notify(TProperty::Checked);
  if (OnClick) OnClick();
}

void TEdit::SetText(const std::u16string& value) {
  if (value == FText) return;
  FText = value;
  Notify(TProperty::Text);
  if (OnChange) OnChange();
}

void TLabel::PlaceBeside(TControl& box) {
  const TSize size = Current().Widgets().TextExtent(Font, Text(), true);
  Bounds = {box.Bounds.Left - 3 - size.Width, box.Bounds.Top + (box.Bounds.Height - size.Height) / 2, size.Width,
            size.Height};
  FocusControl = &box;
}

TMenuItem TMenuItem::Separator(std::string name) {
  TMenuItem item(std::move(name), nullptr);
  item.FSeparator = true;
  return item;
}

std::u16string TMenuItem::Caption() const {
  if (FSeparator) return u"-";
  return FAction ? FAction->Caption : std::u16string();
}

bool TMenuItem::Enabled() const { return !FSeparator && FAction && FAction->Enabled(); }

void TMenuItem::UserClick() {
  if (Enabled()) FAction->Execute();
}

TForm::~TForm() = default;

void TForm::SetLeft(int value) {
  if (value == FLeft) return;
  FLeft = value;
  Notify(TProperty::Bounds);
}

void TForm::SetTop(int value) {
  if (value == FTop) return;
  FTop = value;
  Notify(TProperty::Bounds);
}

TSize TForm::OuterSize() const { return Current().Widgets().OuterSize(*this); }

TRect TForm::RestoredRect() const {
  UpdatePeers();
  if (IFormPeer* peer = FormPeer()) return peer->WindowRect();
  TSize outer = OuterSize();
  return {FLeft, FTop, outer.Width, outer.Height};
}

void TForm::CreateHandle() {
  if (!Peer()) Current().Widgets().CreateForm(*this);
}

IFormPeer* TForm::FormPeer() const { return static_cast<IFormPeer*>(Peer()); }

void TForm::Show() {
  CreateHandle();
  SetShowing(true);
  UpdatePeers();
  FormPeer()->Show();
  if (ActionList) ActionList->Update();
}

int TForm::ShowModal() {
  CreateHandle();
  ModalResult = 0;
  FModal = true;
  SetShowing(true);
  const TAtExit modalEnd([this] {
    FModal = false;
    SetShowing(false);
  });
  UpdatePeers();
  return FormPeer()->ShowModal();
}

void TForm::SetShowing(bool showing) {
  if (showing == FShowing) return;
  FShowing = showing;
  for (TControl* control : Controls) control->ShowingChanged();
}

void TForm::SetFocus(TControl* control) {
  // A control enabled by this handler must be enabled in Windows before it can take the focus.
  UpdatePeers();
  if (IFormPeer* peer = FormPeer()) peer->SetFocus(control);
}

TControl* TForm::Focused() const {
  IFormPeer* peer = FormPeer();
  return peer ? peer->Focused() : nullptr;
}

void TForm::UserClose() {
  // A modal form closed by the title bar or Alt+F4 ends with Cancel.
  if (FModal) {
    if (ModalResult == 0) ModalResult = 2;
    return;
  }
  if (FClosed) return;
  FClosed = true;
  // The window goes even when the close handler fails; its error is reported by the caller.
  const TAtExit closeAfter([this] {
    SetShowing(false);
    UpdatePeers();
    if (IFormPeer* peer = FormPeer()) peer->Close();
  });
  if (OnClose) OnClose();
}

void TForm::UserResized(int clientWidth, int clientHeight) {
  if (clientWidth == ClientWidth && clientHeight == ClientHeight) return;
  ClientWidth = clientWidth;
  ClientHeight = clientHeight;
  if (OnResize) OnResize();
}

void TForm::SelectNext(TControl* from, bool forward) {
  std::vector<TControl*> order;
  for (TControl* control : Controls)
    if (control->TabOrder >= 0 && control->Enabled()) order.push_back(control);
  if (order.empty()) return;
  std::stable_sort(order.begin(), order.end(),
                   [](const TControl* a, const TControl* b) { return a->TabOrder < b->TabOrder; });
  const auto at = std::find(order.begin(), order.end(), from);
  const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(order.size());
  std::ptrdiff_t index = at == order.end() ? (forward ? -1 : count) : at - order.begin();
  index = ((index + (forward ? 1 : -1)) % count + count) % count;
  SetFocus(order[static_cast<std::size_t>(index)]);
}

TControl* TForm::AcceleratorTarget(char16_t letter) const {
  if (letter >= u'a' && letter <= u'z') letter = static_cast<char16_t>(letter - u'a' + u'A');
  for (TControl* control : Controls) {
    if (control->Kind != TControlKind::Label) continue;
    auto* label = static_cast<TLabel*>(control);
    if (label->FocusControl && label->FocusControl->Enabled() && AcceleratorOf(label->Text()) == letter)
      return label->FocusControl;
  }
  return nullptr;
}

TControl* TForm::FindControl(const std::string& name) const {
  for (TControl* control : Controls)
    if (control->Name == name) return control;
  return nullptr;
}

}  // namespace platform
