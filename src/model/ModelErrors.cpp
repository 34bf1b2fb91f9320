#include "model/ModelErrors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Exception.h"

namespace model {

std::u16string FormatG(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  char buffer[64];
  // %.15g switches to exponents exactly where the general format does.
  std::snprintf(buffer, sizeof(buffer), "%.15g", value);
  std::string text = buffer;
  std::u16string result;
  std::size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  result.assign(mantissa.begin(), mantissa.end());
  if (e != std::string::npos) {
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = std::to_string(exponent);  // "-7", "20": no "+" and no leading zeros
    result += u'E';
    result.append(digits.begin(), digits.end());
  }
  return result;
}

std::u16string FormatMessage(std::u16string_view pattern, std::initializer_list<TFormatArg> args) {
  std::u16string result;
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u's' || pattern[i + 1] == u'g') &&
        next != args.end()) {
      if (const auto* text = std::get_if<std::u16string_view>(&*next)) {
        result += *text;
      } else {
        result += FormatG(std::get<double>(*next));
      }
      ++next;
      ++i;
    } else {
      result += pattern[i];
    }
  }
  return result;
}

void RaiseError(std::u16string_view pattern, std::initializer_list<TFormatArg> args) {
  throw platform::Exception(FormatMessage(pattern, args));
}

}  // namespace model
