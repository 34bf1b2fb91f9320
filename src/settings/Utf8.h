#pragma once
// UTF-8 as the settings file holds it: a fast validity check for the whole file, and a
// walk over the UTF-16 code units of text already known to be valid.
#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// The same strict rules as platform::TryFromUtf8, without building the text.
bool IsValidUtf8(std::string_view bytes);

// The UTF-16 text of valid UTF-8.
std::u16string DecodeUtf8(std::string_view validUtf8);
// How many UTF-16 code units valid UTF-8 decodes to.
std::size_t Utf16Length(std::string_view validUtf8);
// Decodes valid UTF-8 to out, which has room for Utf16Length units; returns the end.
char16_t* DecodeUtf8To(std::string_view validUtf8, char16_t* out);

// Calls unit(char16_t) for each UTF-16 code unit of valid UTF-8; stops early when it returns false.
template <class TUnit>
bool ForEachUnit(std::string_view validUtf8, TUnit&& unit) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(validUtf8.data());
  const auto* end = p + validUtf8.size();
  while (p < end) {
    char32_t c = *p;
    if (c < 0x80) {
      ++p;
    } else if (c < 0xE0) {
      c = ((c & 0x1F) << 6) | (p[1] & 0x3F);
      p += 2;
    } else if (c < 0xF0) {
      c = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      p += 3;
    } else {
      c = ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
      p += 4;
      c -= 0x10000;
      if (!unit(static_cast<char16_t>(0xD800 + (c >> 10)))) return false;
      c = 0xDC00 + (c & 0x3FF);
    }
    if (!unit(static_cast<char16_t>(c))) return false;
  }
  return true;
}

}  // namespace settings
