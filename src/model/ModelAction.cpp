// The Show Model table action.
#include "app/uMain.h"

namespace app {

// The model table and its dialog arrive with the model store; until then the action opens nothing.
void TfrmMain::actShowModelExecute() {}

}  // namespace app
