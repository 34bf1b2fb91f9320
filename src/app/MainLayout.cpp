// The main window's controls, positions, tab order, fonts, colours, actions and menus.
#include "app/uMain.h"

namespace app {

namespace {

void Place(platform::TControl& control, int left, int top, int width, int height, int tabOrder) {
  control.Bounds = {left, top, width, height};
  control.TabOrder = tabOrder;
}

void AttachLabel(platform::TLabel& label, platform::TEdit& edit, const std::u16string& caption) {
  label.SetText(caption);
  label.Font.Color = platform::clBlue;
  label.Alignment = platform::TAlignment::Right;
  label.PlaceBeside(edit);
}

}  // namespace

void TfrmMain::BuildLayout() {
  ClientWidth = 457;
  ClientHeight = 147;
  Border = TBorder::SingleFixed;
  MaximizeBox = false;
  Color = platform::clBtnFace;

  for (platform::TAction* action : {&actExit, &actBrowse, &actRefer, &actShowModel}) ActionManager1.Add(action);
  ActionList = &ActionManager1;

  Place(edtFileName, 72, 14, 300, 21, 0);
  Place(cbxPDF, 72, 120, 145, 17, 1);
  Place(btnFind, 378, 8, 71, 33, 2);
  Place(btnBrowse, 378, 51, 71, 33, 3);
  Place(btnModel, 378, 90, 71, 33, 4);
  Place(edtApplication, 72, 41, 217, 21, 5);
  Place(edtLicense, 72, 68, 217, 21, 6);
  Place(edtCallsign, 72, 95, 217, 21, 7);
  Place(lblAbout, 222, 129, 227, 13, -1);

  for (platform::TEdit* edit : {&edtApplication, &edtLicense, &edtCallsign}) {
    edit->ReadOnly = true;
    edit->Color = platform::clBtnFace;
  }
  AttachLabel(lblFileName, edtFileName, u"&File name :");
  AttachLabel(lblApplication, edtApplication, u"Application :");
  AttachLabel(lblLicense, edtLicense, u"License :");
  AttachLabel(lblCallsign, edtCallsign, u"Callsign :");

  cbxPDF.SetText(u"Output PDF file");
  cbxPDF.SetChecked(true);  // before the handler is bound: the layout starts ticked

  btnFind.SetAction(&actRefer);
  btnFind.Default = true;
  btnBrowse.SetAction(&actBrowse);
  btnModel.SetAction(&actShowModel, u"&Show Model");

  lblAbout.SetText(u"lblAbout");
  lblAbout.Alignment = platform::TAlignment::Right;
  lblAbout.Font.Color = platform::clMaroon;

  PopupMenu1.Items = {platform::TMenuItem("mnuExit", &actExit), platform::TMenuItem::Separator("mnuBar1"),
                      platform::TMenuItem("mnuRefer", &actRefer), platform::TMenuItem("mnuOpen", &actBrowse),
                      platform::TMenuItem("mnuShowModel", &actShowModel)};
  PopupMenu = &PopupMenu1;

  OpenDialog1.Title = u"Select file";
  OpenDialog1.Filter = u"shinsei file(Zip)|*.zip|shinsei file(XML)|*.xml";
  OpenDialog1.FilterIndex = 1;
  OpenDialog1.DefaultExt = u"zip";
  OpenDialog1.Resizable = true;

  // Creation order is z-order: each label just before its box, so its accelerator reaches the box.
  Controls = {&lblFileName,    &edtFileName, &cbxPDF,     &btnFind,     &btnBrowse,   &btnModel, &lblApplication,
              &edtApplication, &lblLicense,  &edtLicense, &lblCallsign, &edtCallsign, &lblAbout};

  edtFileName.OnChange = [this] { Guarded([this] { edtFileNameChange(); }); };
  cbxPDF.OnClick = [this] { Guarded([this] { cbxPDFClick(); }); };
  actRefer.OnExecute = [this] { Guarded([this] { actReferExecute(); }); };
  actBrowse.OnExecute = [this] { Guarded([this] { actBrowseExecute(); }); };
  actShowModel.OnExecute = [this] { Guarded([this] { actShowModelExecute(); }); };
  OnClose = [this] { Guarded([this] { FormClose(); }); };
}

}  // namespace app
