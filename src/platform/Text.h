#pragma once
// UTF-16 is the program's text; UTF-8 is used on disk and in exception messages.
#include <string>
#include <string_view>

namespace platform {

// Lone surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Strict decoding: false for overlong forms, surrogate code points, values above U+10FFFF
// and truncated sequences. On false, out holds what was decoded before the fault.
bool TryFromUtf8(std::string_view bytes, std::u16string& out);

// For text known to be valid (literals, our own messages); invalid bytes become U+FFFD.
std::u16string FromUtf8(std::string_view bytes);

std::u16string IntToStr(long long value);

// The general number format: 15 significant digits, trailing zeros dropped, fixed notation
// unless the number has more than 15 integer digits or is below 0.00001 ("1E20", "1E-7").
std::u16string FormatG(double value);

// At most `units` code units of text, one fewer where the cut would split a surrogate pair.
std::u16string_view CutUnits(std::u16string_view text, std::size_t units);

// Exact code-unit search; an empty pattern never matches.
bool ContainsText(std::u16string_view text, std::u16string_view pattern);

}  // namespace platform
