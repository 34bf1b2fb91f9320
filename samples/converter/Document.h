#pragma once
// What the converter finds in a document: an .xml file, or the first .xml inside a .zip.
#include <string>
#include <string_view>

namespace halvorn {

struct TDocumentFields {
  std::u16string Source;  // the zip entry that was read; empty for a plain .xml
  std::u16string License;
  std::u16string Application;
  std::u16string Callsign;
};

// Tells the kinds apart by content, not by name; raises std::runtime_error for a zip
// without a readable .xml entry.
TDocumentFields ReadDocument(std::string_view bytes);

}  // namespace halvorn
