#include "Document.h"

#include <windows.h>

#include <stdexcept>

#include "CodePage.h"
#include "Utf.h"
#include "Xml.h"
#include "Zip.h"

namespace halvorn {

namespace {

bool EndsWithXml(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return tail == ".xml";
}

// Names without the UTF-8 flag are in the code page of the system that packed them.
std::u16string EntryName(const TZipEntry& entry) {
  if (entry.NameIsUtf8 || IsValidUtf8(entry.Name)) return FromUtf8(entry.Name);
  return DecodeCodePage(entry.Name, GetOEMCP());
}

}  // namespace

TDocumentFields ReadDocument(std::string_view bytes) {
  TDocumentFields fields;
  std::string xml;
  if (bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06")) {
    const TZipEntry* chosen = nullptr;
    std::vector<TZipEntry> entries = ReadCentralDirectory(bytes);
    for (const TZipEntry& entry : entries)
      if (EndsWithXml(entry.Name)) {
        chosen = &entry;
        break;
      }
    if (!chosen) throw std::runtime_error("the archive holds no .xml file");
    xml = ExtractEntry(bytes, *chosen);
    fields.Source = EntryName(*chosen);
  } else {
    xml = std::string(bytes);
  }
  std::map<std::u16string, std::u16string> texts =
      ElementTexts(DecodeXml(xml), {u"license", u"application", u"callsign"});
  fields.License = CollapseWhiteSpace(texts[u"license"]);
  fields.Application = CollapseWhiteSpace(texts[u"application"]);
  fields.Callsign = CollapseWhiteSpace(texts[u"callsign"]);
  return fields;
}

}  // namespace halvorn
