// The footer: file version and company name from the executable's version resource.
#include "app/uMain.h"

namespace app {

void TfrmMain::SetAppVersion(const std::u16string& value) { FAppVersion = value; }

void TfrmMain::SetCompanyName(const std::u16string& value) {
  FCompanyName = value;
  SetFormFooting();
}

void TfrmMain::SetFormFooting() {
  std::u16string text = u"Ver. " + FAppVersion;
  if (!FCompanyName.empty()) text += u"(" + FCompanyName + u")";
  lblAbout.SetText(text);
}

}  // namespace app
