// Loading a settings file from arbitrary bytes: either a clear error or an object whose
// reads and flush all agree with the plainly written rules (ReferenceIni.h).
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzNames.h"
#include "FuzzPlatform.h"
#include "ReferenceIni.h"
#include "settings/IniErrors.h"
#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel_fuzz;
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  os.Memory.Files.clear();
  os.Memory.Files[cIniPath] = bytes;
  // Refused exactly when the text after the byte-order mark is no strict UTF-8.
  std::u16string decoded;
  const bool utf8 =
      platform::TryFromUtf8(std::string_view(bytes).substr(bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0), decoded);
  std::unique_ptr<settings::TMemIniFile> ini;
  try {
    ini = std::make_unique<settings::TMemIniFile>(cIniPath);
  } catch (const settings::EIniEncodingError&) {
    FUZZ_CHECK(!utf8);
    return 0;
  }
  FUZZ_CHECK(utf8);

  // Every section and entry the rules find reads as the rules say.
  const std::vector<TRefSection> reference = RefParse(bytes);
  std::vector<std::u16string> lines;
  for (std::size_t s = 0; s < reference.size() && s < 32; ++s) {
    const std::u16string section = platform::FromUtf8(reference[s].Name);
    const TRefSection& first = *RefFindSection(reference, section);
    ini->ReadSectionValues(section, lines);
    FUZZ_CHECK(lines == RefSectionValues(first));
    for (std::size_t l = 0; l < reference[s].Lines.size() && l < 64; ++l) {
      if (!reference[s].Lines[l].Entry) continue;
      const std::u16string ident = platform::FromUtf8(reference[s].Lines[l].Name);
      const TRefLine* entry = RefFindEntry(first, ident);
      const std::u16string expected = entry ? platform::FromUtf8(entry->Value) : u"\x1F";
      FUZZ_CHECK(ini->ReadString(section, ident, u"\x1F") == expected);
      ini->ReadInteger(section, ident, -1);
      ini->ReadBool(section, ident, true);
    }
  }
  // Raw names from the bytes, untrimmed: found exactly when the rules find them.
  const TNames names = NamesIn(bytes);
  for (const std::u16string& section : names.Sections) {
    const TRefSection* found = RefFindSection(reference, section);
    for (const std::u16string& key : names.Keys) {
      const TRefLine* entry = found ? RefFindEntry(*found, key) : nullptr;
      FUZZ_CHECK(ini->ReadString(section, key, u"\x1F") == (entry ? platform::FromUtf8(entry->Value) : u"\x1F"));
    }
  }

  // A flush of what was loaded writes exactly the rules' layout.
  ini->UpdateFile();
  FUZZ_CHECK(os.Memory.Files[cIniPath] == RefSerialize(reference));

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
