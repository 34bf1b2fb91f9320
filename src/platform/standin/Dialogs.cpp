#include "platform/standin/StandIn.h"

namespace platform::standin {

void TStandInDialogs::ShowMessage(THandle, const std::u16string& text) {
  Messages.push_back(text);
  if (OnMessage) OnMessage();
}

TDialogAnswer TStandInDialogs::Confirm(THandle, const std::u16string& text) {
  Confirmations.push_back(text);
  return ConfirmAnswer;
}

void TStandInDialogs::ShowError(THandle, const std::u16string& title, const std::u16string& text) {
  Errors.push_back({title, text});
}

bool TStandInDialogs::OpenFile(THandle, const TOpenDialogRequest& request, std::u16string& chosen) {
  OpenRequests.push_back(request);
  return OnOpenFile ? OnOpenFile(request, chosen) : false;
}

}  // namespace platform::standin
