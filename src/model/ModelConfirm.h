#pragma once
// The question asked before a row of the model table is deleted.
#include "platform/Controls.h"

namespace model {

// True when the user answered "OK"; "キャンセル" or Esc keeps the row.
bool ConfirmDelete(const platform::TForm& owner);

}  // namespace model
