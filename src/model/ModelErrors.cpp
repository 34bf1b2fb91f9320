#include "model/ModelErrors.h"

#include "platform/Exception.h"

namespace model {

void RaiseError(std::u16string_view pattern, std::initializer_list<platform::TFormatArg> args) {
  throw platform::Exception(platform::Format(pattern, args));
}

}  // namespace model
