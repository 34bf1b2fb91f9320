#include "platform/Exception.h"

#include "platform/Text.h"

namespace platform {

Exception::Exception(std::u16string message) : FMessage(std::move(message)), FUtf8(ToUtf8(FMessage)) {}

EOSError::EOSError(unsigned long code, std::u16string systemText)
    : Exception(systemText), FCode(code), FSystemText(std::move(systemText)) {}

EOSError::EOSError(std::u16string_view what, unsigned long code, std::u16string systemText)
    : Exception(std::u16string(what) + u": " + systemText), FCode(code), FSystemText(std::move(systemText)) {}

std::u16string Format(std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  static constexpr std::u16string_view cPlaceholder = u"%s";
  std::u16string out;
  auto arg = args.begin();
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const std::size_t at = pattern.find(cPlaceholder, pos);
    // Placeholders beyond the arguments stay as written.
    if (at == std::u16string_view::npos || arg == args.end()) {
      out += pattern.substr(pos);
      break;
    }
    out += pattern.substr(pos, at - pos);
    out += *arg++;
    pos = at + cPlaceholder.size();
  }
  return out;
}

}  // namespace platform
