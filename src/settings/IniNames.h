#pragma once
// Section and entry names match without regard to case: both sides compare in their upper-case
// form, character by character (beyond U+FFFF too). Stored names are UTF-8, asked-for names UTF-16.
#include <cstdint>
#include <string_view>

namespace settings {

// Equal for names that match; never 0.
std::uint64_t NameHash(std::u16string_view name);
std::uint64_t NameHash(std::string_view validUtf8);

bool SameName(std::string_view validUtf8, std::u16string_view name);

}  // namespace settings
