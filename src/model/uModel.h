#pragma once
// The model table dialog: the licence, a grid of the main window's model table and a record
// navigator, both working directly on that table through the main window's dsModel.
#include "model/ModelGrid.h"
#include "model/ModelNavigator.h"
#include "platform/Controls.h"

namespace app {
class TfrmMain;
}

namespace model {

class TfrmModel : public platform::TForm {
 public:
  // Created for one showing, owned by the main window; FormCreate runs here.
  explicit TfrmModel(app::TfrmMain& owner);
  ~TfrmModel() override;
  TfrmModel(const TfrmModel&) = delete;
  TfrmModel& operator=(const TfrmModel&) = delete;

  platform::TPanel Panel1{"Panel1"};
  TModelGrid DBGrid1;
  platform::TEdit edtLicense{"edtLicense"};
  platform::TButton btnOk{"btnOk"};
  platform::TPanel Panel2{"Panel2"};
  TModelNavigator DBNavigator1;
  platform::TButton Button1{"Button1"};
  platform::TLabel lblLicense{"lblLicense"};  // the edit box's own label

  void FormCreate();

 private:
  void BuildLayout();
  // The grid takes up a change of size; the panels keep their heights.
  void Arrange();
};

}  // namespace model
