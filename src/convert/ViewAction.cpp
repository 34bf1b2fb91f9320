// The view action and the closing of viewer windows that show a stale PDF.
#include "app/uMain.h"
#include "convert/PathRules.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace app {

namespace {
constexpr int cTitleBufferLength = 100;  // characters, the terminating null included
}  // namespace

bool ENumWindowsProc(platform::THandle hwindow, std::intptr_t) {
  platform::IWindowManager& windows = platform::Current().Windows();
  if (!frmMain) return true;
  std::u16string title = windows.WindowTitle(hwindow, cTitleBufferLength);
  // An empty name is found in no title.
  std::u16string name = frmMain->ExPFromDocument() ? convert::ExtractFileName(frmMain->GetExPFileName()) : u"";
  if (platform::ContainsText(title, name) && !platform::ContainsText(title, frmMain->GetAppName()))
    windows.PostClose(hwindow);
  return true;
}

void TfrmMain::CloseStaleViewers() {
  platform::Current().Windows().EnumWindows([](platform::THandle window) { return ENumWindowsProc(window, 0); });
}

void TfrmMain::actBrowseExecute() {
  platform::TPlatform& os = platform::Current();
  CloseStaleViewers();
  if (!os.Files().FileExists(FDFileName)) {
    os.Dialogs().ShowMessage(Handle(), u"ファイルが見つかりません");
    return;
  }
  if (ExecHalvorn(FDFileName) <= 32) return;
  if (!os.Files().FileExists(FPFileName)) {
    os.Dialogs().ShowMessage(Handle(), u"PDFファイルが見つかりません");
    return;
  }
  if (RunExeFile(Handle(), u"\"" + FPFileName + u"\"", u"", u"") <= 32) {
    os.Dialogs().ShowMessage(Handle(), u"起動の失敗");
    return;
  }
  os.Windows().SetForegroundWindow(Handle());
  os.Windows().SetTopmost(Handle(), true);
  os.Windows().SetTopmost(Handle(), false);
  TIniScope ini(*this);
  SetDLicense(ini->ReadString(cMain, u"license", u""));
}

}  // namespace app
