#pragma once
// The text lines of a simple PDF whose content streams are not compressed, as the converters
// here write them: one line per BT … ET block.
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

std::vector<std::u16string> PdfTextLines(std::string_view pdf);

}  // namespace viewer
