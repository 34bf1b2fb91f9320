#pragma once
// The model table's messages, and the number formatting they use.
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace model {

// A unit key whose number part is no integer.
inline constexpr std::u16string_view cNotAnInteger = u"''%s'' は整数ではありません";
// A number outside a field's range: the value, the field, the lowest and highest allowed.
inline constexpr std::u16string_view cOutOfRange =
    u"%g は項目 '%s' に適した値ではありません。%g から %g の範囲が許されます";
// A text assigned to a number field that is no integer: the text, the field.
inline constexpr std::u16string_view cNotAnIntegerValue = u"'%s' は項目 '%s' に適した整数値ではありません";
inline constexpr std::u16string_view cDeleteRecordQuestion = u"レコードを削除しますか？";

// The general number format: 15 significant digits, trailing zeros dropped, fixed notation
// unless the number has more than 15 integer digits or is below 0.00001 ("1E20", "1E-7").
std::u16string FormatG(double value);

// Fills "%s" with a text and "%g" with a number, in order.
using TFormatArg = std::variant<std::u16string_view, double>;
std::u16string FormatMessage(std::u16string_view pattern, std::initializer_list<TFormatArg> args);

// Raises a platform::Exception with the filled-in text.
[[noreturn]] void RaiseError(std::u16string_view pattern, std::initializer_list<TFormatArg> args);

}  // namespace model
