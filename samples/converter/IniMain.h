#pragma once
// Editing section main of the shared settings file in place, line by line, so that every
// line we do not own (comments, other sections, the byte-order mark, line ends) stays as it was.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvorn {

using TEntries = std::vector<std::pair<std::u16string, std::u16string>>;

// The file's new bytes. Each entry replaces the first line of that name in the first section
// named main (names compared without regard to case), or is added after the section's last
// line; without such a section one is added at the end. A new file gets a byte-order mark.
std::string SetMainEntries(std::string_view fileBytes, const TEntries& entries);

}  // namespace halvorn
