#pragma once
// Just enough XML for a document's fields: the text of the first element of a given name.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace halvorn {

// Bytes to text: a byte-order mark, else the declaration's encoding, else UTF-8.
std::u16string DecodeXml(std::string_view bytes);

// The text content of the first element with each local name (any namespace prefix ignored),
// entities and CDATA decoded, nested markup skipped. Names not found are absent from the result.
std::map<std::u16string, std::u16string> ElementTexts(std::u16string_view xml,
                                                      const std::vector<std::u16string>& names);

// White space runs (line breaks included) become one blank, and the ends are trimmed.
std::u16string CollapseWhiteSpace(std::u16string_view text);

}  // namespace halvorn
