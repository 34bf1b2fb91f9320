// Loading a settings file from arbitrary bytes: either a clear error or an object whose
// reads all answer.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzNames.h"
#include "FuzzPlatform.h"
#include "settings/IniErrors.h"
#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel_fuzz;
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  os.Memory.Files[cIniPath] = bytes;
  std::unique_ptr<settings::TMemIniFile> ini;
  try {
    ini = std::make_unique<settings::TMemIniFile>(cIniPath);
  } catch (const settings::EIniEncodingError&) {
    return 0;  // not UTF-8: refused, never read as empty
  }
  const TNames names = NamesIn(bytes);
  std::vector<std::u16string> lines;
  for (const std::u16string& section : names.Sections) {
    ini->ReadSectionValues(section, lines);
    for (const std::u16string& key : names.Keys) {
      std::u16string value = ini->ReadString(section, key, u"\x1F");
      ini->ReadInteger(section, key, -1);
      ini->ReadBool(section, key, true);
      // What a read found, the section's lines hold too.
      if (value != u"\x1F") {
        bool listed = false;
        for (const std::u16string& line : lines) listed = listed || line.ends_with(u"=" + value);
        FUZZ_CHECK(listed);
      }
    }
  }
  // Writes and erasures on the loaded image, then a read of what was written.
  for (const std::u16string& section : names.Sections) {
    try {
      ini->WriteString(section, u"fuzz", section);
    } catch (const settings::EIniLineBreakError&) {
      continue;
    }
    FUZZ_CHECK(ini->ReadString(section, u"FUZZ", u"") == section);
    ini->EraseSection(section);
  }
  return 0;
}
