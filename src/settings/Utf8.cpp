#include "settings/Utf8.h"

#include <cstring>

namespace settings {

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Most of a settings file is ASCII: skip it eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if ((word & 0x8080808080808080ull) == 0) {
        p += 8;
        continue;
      }
    }
    const std::uint8_t lead = *p;
    if (lead < 0x80) {
      ++p;
      continue;
    }
    std::ptrdiff_t count;
    std::uint8_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      count = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
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
    if (end - p <= count || p[1] < low || p[1] > high) return false;
    for (std::ptrdiff_t k = 2; k <= count; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += count + 1;
  }
  return true;
}

}  // namespace settings
