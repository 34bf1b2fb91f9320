#include "platform/Exception.h"

#include "platform/Text.h"

namespace platform {

Exception::Exception(std::u16string message) : FMessage(std::move(message)), FUtf8(ToUtf8(FMessage)) {}

EOSError::EOSError(unsigned long code, std::u16string systemText)
    : Exception(systemText), FCode(code), FSystemText(std::move(systemText)) {}

EOSError::EOSError(std::u16string_view what, unsigned long code, std::u16string systemText)
    : Exception(std::u16string(what) + u": " + systemText), FCode(code), FSystemText(std::move(systemText)) {}

std::u16string Format(std::u16string_view pattern, std::initializer_list<TFormatArg> args) {
  std::u16string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u's' || pattern[i + 1] == u'g') &&
        next != args.end()) {
      if (const auto* text = std::get_if<std::u16string_view>(&*next)) {
        out += *text;
      } else {
        out += FormatG(std::get<double>(*next));
      }
      ++next;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace platform
