#include "app/ErrorBox.h"

#include <algorithm>

#include "convert/PathRules.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/UnicodeCase.h"

namespace app {

std::u16string ErrorBoxTitle(const std::u16string& exePath) {
  std::u16string name = convert::ExtractFileName(exePath);
  name = name.substr(0, name.find(u'.'));
  // The first character stays as it is: two units when it is a surrogate pair.
  const std::size_t first = name.size() >= 2 && settings::IsHighSurrogate(name[0]) && settings::IsLowSurrogate(name[1])
                                ? 2
                                : std::min<std::size_t>(name.size(), 1);
  return name.substr(0, first) + settings::LowerCaseText(std::u16string_view(name).substr(first));
}

std::u16string ErrorBoxText(const std::u16string& message) {
  if (!message.empty() && message.back() > u'.') return message + u".";
  return message;
}

void ShowException(const std::exception& error, unsigned long long owner) {
  const auto* own = dynamic_cast<const platform::Exception*>(&error);
  std::u16string text = own ? own->Message() : platform::FromUtf8(error.what());
  platform::IApplication& app = platform::Current().App();
  platform::Current().Dialogs().ShowError(static_cast<platform::THandle>(owner), ErrorBoxTitle(app.ExecutablePath()),
                                          ErrorBoxText(text));
}

}  // namespace app
