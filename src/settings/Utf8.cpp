#include "settings/Utf8.h"

#include "settings/ByteScan.h"

namespace settings {

bool IsValidUtf8(std::string_view bytes) {
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  const auto* p = reinterpret_cast<const std::uint8_t*>(begin);
  const auto* const stop = reinterpret_cast<const std::uint8_t*>(end);
  while (p < stop) {
    const std::uint8_t lead = *p;
    if (lead < 0x80) {
      // Most of a settings file is ASCII: skip it many bytes at a time.
      p = reinterpret_cast<const std::uint8_t*>(SkipAscii(reinterpret_cast<const char*>(p), end));
      continue;
    }
    // Japanese text is three-byte sequences without special cases: checked first.
    if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED) {
      if (stop - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return false;
      p += 3;
      continue;
    }
    std::ptrdiff_t count;
    std::uint8_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      count = 1;
    } else if (lead == 0xE0 || lead == 0xED) {
      count = 2;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      count = 3;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (stop - p <= count || p[1] < low || p[1] > high) return false;
    for (std::ptrdiff_t k = 2; k <= count; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += count + 1;
  }
  return true;
}

std::size_t Utf16Length(std::string_view validUtf8) {
  const char* p = validUtf8.data();
  const char* const end = p + validUtf8.size();
  p = SkipAscii(p, end);
  std::size_t units = static_cast<std::size_t>(p - validUtf8.data());
  for (; p < end; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    // Each character is one unit but for its continuation bytes; four bytes make two units.
    units += (byte & 0xC0) != 0x80;
    units += byte >= 0xF0;
  }
  return units;
}

char16_t* DecodeUtf8To(std::string_view validUtf8, char16_t* out) {
  const char* p = validUtf8.data();
  const char* const end = p + validUtf8.size();
  while (p < end) {
    const char* ascii = SkipAscii(p, end);
    for (; p < ascii; ++p) *out++ = static_cast<char16_t>(*p);
    if (p == end) break;
    const char* next = p + 1;
    while (next < end && (static_cast<unsigned char>(*next) & 0xC0) == 0x80) ++next;
    ForEachUnit(std::string_view(p, next - p), [&](char16_t unit) {
      *out++ = unit;
      return true;
    });
    p = next;
  }
  return out;
}

std::u16string DecodeUtf8(std::string_view validUtf8) {
  // Never more units than bytes: one allocation, trimmed at the end.
  std::u16string text(validUtf8.size(), u'\0');
  text.resize(static_cast<std::size_t>(DecodeUtf8To(validUtf8, text.data()) - text.data()));
  return text;
}

}  // namespace settings
