#include "app/uMain.h"

#include "app/VersionInfo.h"
#include "convert/PathRules.h"
#include "platform/ErrorBox.h"
#include "platform/Platform.h"

namespace app {

TfrmMain* frmMain = nullptr;

TIniScope::TIniScope(TfrmMain& form) : FForm(form), FOuter(form.Ini), FIni(form.IniFileName) { form.Ini = &FIni; }

TIniScope::~TIniScope() { FForm.Ini = FOuter; }

TfrmMain::TfrmMain() : TForm("frmMain") { BuildLayout(); }

TfrmMain::~TfrmMain() {
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    platform::ShowException(error, Handle());
  }
}

void TfrmMain::FormCreate() {
  platform::TPlatform& os = platform::Current();
  AppFileName = os.App().ExecutablePath();
  AppName = convert::FileNameWithoutExt(AppFileName);
  AppDir = convert::ExtractFileDir(AppFileName);
  // Against the current directory of this moment, not the program's folder; never recomputed.
  IniFileName = os.Files().ExpandFileName(cIniName);
  edtApplication.SetText(u"");
  edtLicense.SetText(u"");
  edtCallsign.SetText(u"");
  {
    TIniScope ini(*this);
    int top = ini->ReadInteger(cMain, u"top", -1);
    int left = ini->ReadInteger(cMain, u"left", -1);
    PlaceWindow(top, left);
    SetDFileName(ini->ReadString(cMain, u"filename", u""));
  }
  {
    TIniScope ini(*this);
    cbxPDF.SetChecked(ini->ReadBool(cMain, u"PDFOut", true));
  }
  CreateModelTable();
  // The version first: only SetCompanyName writes the footer.
  SetAppVersion(GetVersionInfo(AppFileName, vrFileVersion));
  SetCompanyName(GetVersionInfo(AppFileName, vrCompanyName));
}

void TfrmMain::PlaceWindow(int top, int left) {
  platform::TSize screen = platform::Current().Windows().PrimaryScreenSize();
  platform::TSize outer = OuterSize();
  // 64-bit sums: a stored edge near the integer limit must not wrap into a valid position.
  bool keep = top >= 0 && static_cast<long long>(top) + outer.Height <= screen.Height && left >= 0 &&
              static_cast<long long>(left) + outer.Width <= screen.Width;
  if (!keep) {
    top = (screen.Height - outer.Height) / 2;
    left = (screen.Width - outer.Width) / 2;
  }
  SetTop(top);
  SetLeft(left);
}

void TfrmMain::FormClose() {
  exPFileName = FPFileName;
  exPFromDocument = !FDFileName.empty();
  CloseStaleViewers();
  TIniScope ini(*this);
  platform::TRect restored = RestoredRect();
  ini->WriteInteger(cMain, u"top", restored.Top);
  ini->WriteInteger(cMain, u"left", restored.Left);
  ini->WriteString(cMain, u"filename", FDFileName);
  ini->WriteBool(cMain, u"PDFOut", cbxPDF.Checked());
  ini->UpdateFile();
}

}  // namespace app
