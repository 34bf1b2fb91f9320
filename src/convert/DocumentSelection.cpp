// The current document, its PDF path, the licence, and the Refer action.
#include "app/uMain.h"
#include "convert/PathRules.h"
#include "platform/Platform.h"

namespace app {

void TfrmMain::SetDFileName(const std::u16string& value) {
  if (value != FPFileName) {
    exPFileName = FPFileName;
    exPFromDocument = !FDFileName.empty();
  }
  FDFileName = value;
  // Written only when it differs, so that a typing user's caret stays where it is.
  if (edtFileName.Text() != FDFileName) edtFileName.SetText(FDFileName);
  SetText(AppName);
  actBrowse.SetEnabled(false);
  if (!FDFileName.empty()) {
    SetText(AppName + u" - " + convert::ExtractFileName(FDFileName));
    actBrowse.SetEnabled(true);
  }
  cbxPDFClick();
  TIniScope ini(*this);
  edtApplication.SetText(u"");
  edtLicense.SetText(u"");
  edtCallsign.SetText(u"");
  std::u16string stored = ini->ReadString(cMain, u"filename", u"");
  if (!FDFileName.empty() && FDFileName == stored) SetDLicense(ini->ReadString(cMain, u"license", u""));
}

void TfrmMain::SetDLicense(const std::u16string& value) {
  FDLicense = value;
  edtLicense.SetText(FDLicense);
  actShowModel.SetEnabled(false);
  if (!FDLicense.empty()) actShowModel.SetEnabled(true);
  TIniScope ini(*this);
  edtApplication.SetText(ini->ReadString(cMain, u"application", u""));
  edtCallsign.SetText(ini->ReadString(cMain, u"callsign", u""));
}

void TfrmMain::cbxPDFClick() {
  if (cbxPDF.Checked()) FPFileName = convert::ChangeFileExt(FDFileName, u".pdf");
  else FPFileName = convert::ExtractFilePath(FDFileName) + u"Quorvel.pdf";
}

void TfrmMain::edtFileNameChange() {
  if (edtFileName.Text() != FDFileName) SetDFileName(edtFileName.Text());
}

void TfrmMain::actReferExecute() {
  OpenDialog1.Title = u"Select file";
  if (FDFileName.empty()) {
    OpenDialog1.InitialDir = convert::DialogFolder(AppFileName);
    OpenDialog1.FileName.clear();
  } else {
    OpenDialog1.InitialDir = convert::DialogFolder(FDFileName);
    OpenDialog1.FileName = convert::ExtractFileName(FDFileName);
  }
  std::u16string chosen;
  bool picked = false;
  {
    // Windows may move the current directory to the chosen file's folder, whatever the
    // dialog is asked; the converter is looked up there, so it is put back.
    platform::TCurrentDirKeeper keep(platform::Current().Files());
    picked = platform::Current().Dialogs().OpenFile(Handle(), OpenDialog1, chosen);
  }
  if (!picked) return;
  SetDFileName(chosen);
  TIniScope ini(*this);
  std::uint32_t result = ExecHalvorn(FDFileName);
  if (result > 32) SetDLicense(ini->ReadString(cMain, u"license", u""));
}

}  // namespace app
