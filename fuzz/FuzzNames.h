#pragma once
// Names to look up, taken from the fuzzed bytes themselves, so that reads hit what the
// loaded file holds and not only fixed names.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace quorvel_fuzz {

struct TNames {
  std::vector<std::u16string> Sections;
  std::vector<std::u16string> Keys;
};

// The texts of header lines ("[x]") and of entry names ("x=") among the first lines.
inline TNames NamesIn(std::string_view bytes, std::size_t maxLines = 64) {
  TNames names;
  std::size_t pos = 0;
  for (std::size_t line = 0; line < maxLines && pos < bytes.size(); ++line) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
      names.Sections.push_back(platform::FromUtf8(text.substr(1, text.size() - 2)));
    } else if (std::size_t equals = text.find('='); equals != std::string_view::npos) {
      names.Keys.push_back(platform::FromUtf8(text.substr(0, equals)));
    }
  }
  names.Sections.push_back(u"main");
  names.Keys.push_back(u"top");
  return names;
}

}  // namespace quorvel_fuzz
