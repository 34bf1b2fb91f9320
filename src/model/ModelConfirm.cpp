#include "model/ModelConfirm.h"

#include <string>

#include "model/ModelErrors.h"
#include "platform/Platform.h"

namespace model {

bool ConfirmDelete(const platform::TForm& owner) {
  return platform::Current().Dialogs().Confirm(owner.Handle(), std::u16string(cDeleteRecordQuestion)) ==
         platform::TDialogAnswer::Ok;
}

}  // namespace model
