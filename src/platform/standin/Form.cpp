// A form in memory: it remembers the focus, and a modal showing hands the form to the test,
// which acts as the user.
#include "platform/standin/StandIn.h"

namespace platform::standin {

namespace {

class TStandInFormPeer final : public IFormPeer {
 public:
  TStandInFormPeer(TForm& form, TStandInWidgets& owner, THandle handle) : FForm(form), FOwner(owner), FHandle(handle) {}
  ~TStandInFormPeer() override { FOwner.Forget(&FForm); }
  TStandInFormPeer(const TStandInFormPeer&) = delete;
  TStandInFormPeer& operator=(const TStandInFormPeer&) = delete;
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
    FForm.SelectNext(nullptr, true);  // the first control in tab order
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

}  // namespace

std::unique_ptr<IFormPeer> CreateFormPeer(TForm& form, TStandInWidgets& owner, THandle handle) {
  return std::make_unique<TStandInFormPeer>(form, owner, handle);
}

}  // namespace platform::standin
