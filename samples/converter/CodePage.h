#pragma once
// Legacy encodings through Windows' own tables.
#include <string>
#include <string_view>

namespace halvorn {

// 0 when the name is no encoding Windows knows by that name.
unsigned CodePageOf(std::string_view encodingName);
std::u16string DecodeCodePage(std::string_view bytes, unsigned codePage);

}  // namespace halvorn
