#include "platform/UnicodeCase.h"

namespace platform {

namespace {

// A few ranges, searched in order; the characters beyond U+FFFF are rare in names.
char16_t LowInCase(char16_t high, char16_t low, const detail::TCaseRange* ranges, std::size_t count) {
  const char32_t c = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00);
  for (std::size_t i = 0; i < count && ranges[i].First <= c; ++i) {
    if (c <= ranges[i].Last) return static_cast<char16_t>(low + ranges[i].Delta);
  }
  return low;
}

template <char16_t (*TCase)(char16_t, char16_t)>
std::u16string InCase(std::u16string_view text) {
  std::u16string result(text);
  char16_t previous = 0;
  for (char16_t& unit : result) {
    const char16_t original = unit;
    unit = TCase(previous, unit);
    previous = original;
  }
  return result;
}

}  // namespace

char16_t UpperCaseLow(char16_t high, char16_t low) {
  return LowInCase(high, low, detail::cUpperBeyond, detail::cUpperBeyondCount);
}

char16_t LowerCaseLow(char16_t high, char16_t low) {
  return LowInCase(high, low, detail::cLowerBeyond, detail::cLowerBeyondCount);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && UpperCaseAfter(i > 0 ? a[i - 1] : 0, a[i]) != UpperCaseAfter(i > 0 ? b[i - 1] : 0, b[i]))
      return false;
  }
  return true;
}

std::u16string UpperCaseText(std::u16string_view text) { return InCase<UpperCaseAfter>(text); }

std::u16string LowerCaseText(std::u16string_view text) { return InCase<LowerCaseAfter>(text); }

}  // namespace platform
