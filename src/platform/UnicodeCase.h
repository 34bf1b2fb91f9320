#pragma once
// Unicode simple upper and lower case, from generated tables, so that name matching and the
// error box's title are the same on every build. Beyond U+FFFF a letter's partner shares its
// first surrogate, so a surrogate pair changes case in its second unit only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

namespace detail {
struct TCaseRange {
  char32_t First, Last;
  std::int32_t Delta;  // added to each character of the range
};
extern const std::uint8_t cUpperBlockOf[2048];  // per 32 code units
extern const std::uint16_t cUpperDeltas[][32];  // partner - unit, modulo 2^16
extern const TCaseRange cUpperBeyond[];
extern const std::size_t cUpperBeyondCount;
extern const std::uint8_t cLowerBlockOf[2048];
extern const std::uint16_t cLowerDeltas[][32];
extern const TCaseRange cLowerBeyond[];
extern const std::size_t cLowerBeyondCount;
}  // namespace detail

inline bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One unit below U+10000; surrogates stay as they are.
inline char16_t UpperCase(char16_t unit) {
  return static_cast<char16_t>(unit + detail::cUpperDeltas[detail::cUpperBlockOf[unit >> 5]][unit & 31]);
}
inline char16_t LowerCase(char16_t unit) {
  return static_cast<char16_t>(unit + detail::cLowerDeltas[detail::cLowerBlockOf[unit >> 5]][unit & 31]);
}

// The second unit of the pair high, low in the pair's case.
char16_t UpperCaseLow(char16_t high, char16_t low);
char16_t LowerCaseLow(char16_t high, char16_t low);

// A unit of a text in that text's case, given the unit before it (any unit at the start): the
// second unit of a pair changes with the pair.
inline char16_t UpperCaseAfter(char16_t previous, char16_t unit) {
  if (IsLowSurrogate(unit) && IsHighSurrogate(previous)) [[unlikely]]
    return UpperCaseLow(previous, unit);
  return UpperCase(unit);
}
inline char16_t LowerCaseAfter(char16_t previous, char16_t unit) {
  if (IsLowSurrogate(unit) && IsHighSurrogate(previous)) [[unlikely]]
    return LowerCaseLow(previous, unit);
  return LowerCase(unit);
}

// Whether two names match: the settings file compares them in their upper case.
bool SameName(std::u16string_view a, std::u16string_view b);

// Every character of a text; the length stays.
std::u16string UpperCaseText(std::u16string_view text);
std::u16string LowerCaseText(std::u16string_view text);

}  // namespace platform
