#include "platform/standin/StandIn.h"

#include <algorithm>

namespace platform::standin {

namespace {

// In memory: the form remembers focus and visibility; handles are unique numbers.
class TStandInControlPeer : public IControlPeer {
 public:
  explicit TStandInControlPeer(THandle handle) : FHandle(handle) {}
  void Changed(TProperty) override {}
  THandle Handle() const override { return FHandle; }

 private:
  THandle FHandle;
};

class TStandInFormPeer : public IFormPeer {
 public:
  TStandInFormPeer(TForm& form, TStandInWidgets& owner, THandle handle)
      : FForm(form), FOwner(owner), FHandle(handle) {}
  ~TStandInFormPeer() override { FOwner.Forget(&FForm); }
  void Changed(TProperty) override {}
  THandle Handle() const override { return FHandle; }
  TRect WindowRect() const override {
    TSize outer = FOwner.OuterSize(FForm);
    return {FForm.Left(), FForm.Top(), outer.Width, outer.Height};
  }
  void SetFocus(TControl* control) override {
    if (!control || (control->Enabled() && control->TabOrder >= 0)) FFocused = control;
  }
  TControl* Focused() const override { return FFocused; }
  void Show() override {
    if (FFocused) return;
    // The first control in tab order takes the focus.
    TControl* first = nullptr;
    for (TControl* control : FForm.Controls)
      if (control->TabOrder >= 0 && control->Enabled() && (!first || control->TabOrder < first->TabOrder))
        first = control;
    FFocused = first;
  }
  int ShowModal() override {
    Show();
    if (FOwner.OnShowModal) FOwner.OnShowModal(FForm);
    return FForm.ModalResult;
  }
  void Close() override {}

 private:
  TForm& FForm;
  TStandInWidgets& FOwner;
  THandle FHandle;
  TControl* FFocused = nullptr;
};

THandle gNextHandle = 0x10000;

}  // namespace

void TStandInWidgets::CreateForm(TForm& form) {
  form.AttachPeer(std::make_unique<TStandInFormPeer>(form, *this, gNextHandle++));
  for (TControl* control : form.Controls) {
    if (auto* grid = dynamic_cast<TCustomGrid*>(control)) {
      control->AttachPeer(CreateGridPeer(*grid, *this, gNextHandle++));
    } else if (auto* navigator = dynamic_cast<TCustomNavigator*>(control)) {
      control->AttachPeer(CreateNavigatorPeer(*navigator, gNextHandle++));
    } else {
      control->AttachPeer(std::make_unique<TStandInControlPeer>(gNextHandle++));
    }
  }
  Forms.push_back(&form);
}

TSize TStandInWidgets::OuterSize(const TForm& form) {
  return {form.ClientWidth + 2 * cFrameWidth, form.ClientHeight + cCaptionHeight + 2 * cFrameWidth};
}

TSize TStandInWidgets::TextExtent(const TFont& font, const std::u16string& text, bool prefix) {
  int shown = static_cast<int>(text.size());
  if (prefix) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != u'&') continue;
      --shown;  // "&x" shows x, "&&" one "&"
      ++i;
    }
  }
  return {CharWidth * shown, font.Height + 2};
}

void TStandInWidgets::Forget(TForm* form) { Forms.erase(std::remove(Forms.begin(), Forms.end(), form), Forms.end()); }

}  // namespace platform::standin
