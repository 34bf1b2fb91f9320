#include "platform/ErrorBox.h"

#include <algorithm>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/UnicodeCase.h"

namespace platform {

std::u16string ErrorBoxTitle(const std::u16string& exePath) {
  const std::size_t separator = exePath.find_last_of(u"\\:");
  std::u16string name = exePath.substr(separator == std::u16string::npos ? 0 : separator + 1);
  name = name.substr(0, name.find(u'.'));
  // The first character stays as it is: two units when it is a surrogate pair.
  const std::size_t first = name.size() >= 2 && IsHighSurrogate(name[0]) && IsLowSurrogate(name[1])
                                ? 2
                                : std::min<std::size_t>(name.size(), 1);
  return name.substr(0, first) + LowerCaseText(std::u16string_view(name).substr(first));
}

std::u16string ErrorBoxText(const std::u16string& message) {
  if (!message.empty() && message.back() > u'.') return message + u".";
  return message;
}

void ShowException(const std::exception& error, THandle owner) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  const std::u16string text = own ? own->Message() : FromUtf8(error.what());
  Current().Dialogs().ShowError(owner, ErrorBoxTitle(Current().App().ExecutablePath()), ErrorBoxText(text));
}

}  // namespace platform
