#include "model/uModel.h"

#include <algorithm>

#include "app/uMain.h"
#include "platform/Platform.h"

namespace model {

namespace {

constexpr int cTopPanelHeight = 49;
constexpr int cBottomPanelHeight = 34;
constexpr int cMinGridHeight = 48;  // the title row and one row

}  // namespace

TfrmModel::TfrmModel(app::TfrmMain& owner)
    : TForm("frmModel"), DBGrid1("DBGrid1", *this, owner.dsModel), DBNavigator1("DBNavigator1", *this, owner.dsModel) {
  Owner = &owner;
  BuildLayout();
  FormCreate();
}

TfrmModel::~TfrmModel() = default;

void TfrmModel::BuildLayout() {
  SetText(u"Model Table");
  ClientWidth = 471;
  ClientHeight = 220;
  Border = TBorder::Sizeable;
  SystemMenu = false;
  MinimizeBox = false;
  MaximizeBox = false;
  Color = platform::clBtnFace;

  Panel1.SetText(u"Panel1");
  Panel2.SetText(u"Panel2");
  for (platform::TControl* control :
       std::initializer_list<platform::TControl*>{&edtLicense, &lblLicense, &btnOk, &Button1})
    control->SetParent(&Panel1);
  DBNavigator1.SetParent(&Panel2);

  edtLicense.Bounds = {56, 13, 121, 21};
  edtLicense.ReadOnly = true;
  edtLicense.Color = platform::clBtnFace;
  edtLicense.ImeOff = true;
  lblLicense.SetText(u"License :");
  lblLicense.Font.Color = platform::clBlue;
  lblLicense.Alignment = platform::TAlignment::Right;
  lblLicense.PlaceBeside(edtLicense);

  btnOk.SetText(u"Ok");
  btnOk.Bounds = {282, 9, 72, 34};
  Button1.SetText(u"Cancel");
  Button1.Bounds = {369, 9, 72, 34};
  DBNavigator1.Bounds = {8, 2, 450, 29};

  DBGrid1.TabOrder = 0;
  btnOk.TabOrder = 1;
  Button1.TabOrder = 2;
  edtLicense.TabOrder = 3;
  Arrange();

  // Creation order is tab order; the panels lie beneath what stands in them.
  Controls = {&DBGrid1, &btnOk, &Button1, &lblLicense, &edtLicense, &DBNavigator1, &Panel1, &Panel2};

  // Ok hands in the cell being edited first, and an error there keeps the dialog open. Cancel
  // throws the edit away: nothing it holds is checked, so a refused number cannot hold it up.
  btnOk.OnClick = [this] {
    if (DBGrid1.ExitGrid()) ModalResult = 1;
  };
  Button1.DiscardsInput = true;
  Button1.OnClick = [this] { ModalResult = 2; };
  OnResize = [this] { Arrange(); };

  // Any smaller and Ok, Cancel, the licence box or the navigator would leave the view.
  int right = 0;
  for (const platform::TControl* control :
       std::initializer_list<const platform::TControl*>{&edtLicense, &btnOk, &Button1, &DBNavigator1})
    right = std::max(right, control->Bounds.Left + control->Bounds.Width);
  MinClientWidth = right + DBNavigator1.Bounds.Left;
  MinClientHeight = cTopPanelHeight + cMinGridHeight + cBottomPanelHeight;

  platform::TSize screen = platform::Current().Windows().PrimaryScreenSize();
  platform::TSize outer = OuterSize();
  SetLeft((screen.Width - outer.Width) / 2);
  SetTop((screen.Height - outer.Height) / 2);
}

void TfrmModel::Arrange() {
  Panel1.SetBounds({0, 0, ClientWidth, cTopPanelHeight});
  Panel2.SetBounds({0, ClientHeight - cBottomPanelHeight, ClientWidth, cBottomPanelHeight});
  DBGrid1.SetBounds(
      {0, cTopPanelHeight, ClientWidth, std::max(0, ClientHeight - cTopPanelHeight - cBottomPanelHeight)});
}

void TfrmModel::FormCreate() {
  Panel1.SetText(u"");
  Panel2.SetText(u"");
  edtLicense.SetText(app::frmMain ? app::frmMain->DLicense() : std::u16string());
}

}  // namespace model
