#include "platform/standin/StandIn.h"

#include <algorithm>

namespace platform::standin {

namespace {

// Handles are unique numbers.
THandle gNextHandle = 0x10000;

}  // namespace

void TStandInWidgets::CreateForm(TForm& form) {
  form.AttachPeer(CreateFormPeer(form, *this, gNextHandle++));
  for (TControl* control : form.Controls) {
    // Only the grid's peer has work in memory: it measures text.
    if (control->Kind == TControlKind::Grid) {
      control->AttachPeer(CreateGridPeer(*this, gNextHandle++));
    } else {
      control->AttachPeer(std::make_unique<TStandInPeer>(gNextHandle++));
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
