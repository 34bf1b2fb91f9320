#pragma once
// UTF-8 on disk and in PDFs, UTF-16 in memory.
#include <string>
#include <string_view>

namespace halvorn {

// Invalid sequences become U+FFFD.
std::u16string FromUtf8(std::string_view bytes);
// Lone surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);
bool IsValidUtf8(std::string_view bytes);

}  // namespace halvorn
