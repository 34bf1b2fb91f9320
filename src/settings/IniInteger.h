#pragma once
// The integer syntax of settings values: optional leading blanks, an optional sign, then
// decimal digits within the 32-bit signed range, or "$", "x", "X", "0x" or "0X" and up to
// 32 bits of hexadecimal taken as two's complement ("$FFFFFFFF" is -1; "-" negates).
#include <cstdint>
#include <string_view>

namespace settings {

// False, leaving value alone, for anything else: empty text, trailing characters, overflow.
bool TryParseIniInteger(std::u16string_view text, std::int32_t& value);

}  // namespace settings
