#pragma once
// Unicode simple upper case of one UTF-16 code unit, from one generated table, so that name
// matching is the same on every build. Surrogates and characters beyond U+FFFF stay as they are.
#include <cstdint>

namespace settings {

namespace detail {
extern const std::uint8_t cUpperBlockOf[256];  // 0: no letter of this block changes
extern const char16_t cUpperBlocks[][256];
}  // namespace detail

inline char16_t UpperCase(char16_t unit) {
  const std::uint8_t block = detail::cUpperBlockOf[unit >> 8];
  return block == 0 ? unit : detail::cUpperBlocks[block - 1][unit & 0xFF];
}

}  // namespace settings
