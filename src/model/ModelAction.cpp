// The Show Model table action: load the licence's table, show the dialog, save on Ok.
#include "app/uMain.h"
#include "model/uModel.h"

namespace app {

void TfrmMain::actShowModelExecute() {
  LoadModelTable(FDLicense);
  // The dialog is freed on every path, also when the save fails.
  model::TfrmModel frmModel(*this);
  if (frmModel.ShowModal() == 1) SaveModelTable(FDLicense);
}

}  // namespace app
