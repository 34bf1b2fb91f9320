#include "settings/IniInteger.h"

namespace settings {

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Length of the hexadecimal prefix at the start of text, 0 when there is none.
std::size_t HexPrefix(std::u16string_view text) {
  if (text.starts_with(u"$") || text.starts_with(u"x") || text.starts_with(u"X")) return 1;
  if (text.starts_with(u"0x") || text.starts_with(u"0X")) return 2;
  return 0;
}

}  // namespace

bool TryParseIniInteger(std::u16string_view text, std::int32_t& value) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == u' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) negative = text[pos++] == u'-';
  text.remove_prefix(pos);

  if (const std::size_t prefix = HexPrefix(text)) {
    text.remove_prefix(prefix);
    if (text.empty()) return false;
    std::uint64_t bits = 0;
    for (char16_t c : text) {
      const int digit = HexDigit(c);
      if (digit < 0) return false;
      bits = bits * 16 + static_cast<unsigned>(digit);
      if (bits > 0xFFFFFFFFull) return false;
    }
    std::uint32_t word = static_cast<std::uint32_t>(bits);
    if (negative) word = 0u - word;  // wraps like the 32-bit negation it stands for
    value = static_cast<std::int32_t>(word);
    return true;
  }

  if (text.empty()) return false;
  const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  std::uint64_t magnitude = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    magnitude = magnitude * 10 + static_cast<unsigned>(c - u'0');
    if (magnitude > limit) return false;
  }
  value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                   : static_cast<std::int32_t>(magnitude);
  return true;
}

}  // namespace settings
