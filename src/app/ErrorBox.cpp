#include "app/ErrorBox.h"

#include "convert/PathRules.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace app {

namespace {

char16_t ToLower(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c;
}

}  // namespace

std::u16string ErrorBoxTitle(const std::u16string& exePath) {
  std::u16string name = convert::ExtractFileName(exePath);
  name = name.substr(0, name.find(u'.'));
  for (std::size_t i = 1; i < name.size(); ++i) name[i] = ToLower(name[i]);
  return name;
}

std::u16string ErrorBoxText(const std::u16string& message) {
  if (!message.empty() && message.back() > u'.') return message + u".";
  return message;
}

void ShowException(const std::exception& error, unsigned long long owner) {
  const auto* own = dynamic_cast<const platform::Exception*>(&error);
  std::u16string text = own ? own->Message() : platform::FromUtf8(error.what());
  platform::IApplication& app = platform::Current().App();
  platform::Current().Dialogs().ShowError(static_cast<platform::THandle>(owner), ErrorBoxTitle(app.ExecutablePath()), ErrorBoxText(text));
}

}  // namespace app
