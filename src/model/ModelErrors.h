#pragma once
// The model table's messages.
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace model {

// A unit key whose number part is no integer.
inline constexpr std::u16string_view cNotAnInteger = u"''%s'' は整数ではありません";
// A number outside a field's range: the value, the field, the lowest and highest allowed.
inline constexpr std::u16string_view cOutOfRange =
    u"%g は項目 '%s' に適した値ではありません。%g から %g の範囲が許されます";
// A text assigned to a number field that is no integer: the text, the field.
inline constexpr std::u16string_view cNotAnIntegerValue = u"'%s' は項目 '%s' に適した整数値ではありません";
inline constexpr std::u16string_view cDeleteRecordQuestion = u"レコードを削除しますか？";

// Raises a platform::Exception with the filled-in text (platform::Format).
[[noreturn]] void RaiseError(std::u16string_view pattern, std::initializer_list<platform::TFormatArg> args);

}  // namespace model
