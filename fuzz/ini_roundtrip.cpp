// Load, flush, load again, flush again: the two flushed files are byte-identical and every
// entry reads back as the first load read it, also entries written before the first flush.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzNames.h"
#include "FuzzPlatform.h"
#include "settings/IniErrors.h"
#include "settings/IniFile.h"

namespace {

using namespace quorvel_fuzz;

std::string Flush(settings::TMemIniFile& ini) {
  ini.UpdateFile();
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  FUZZ_CHECK(!os.Memory.HasTemporaryFile() && os.Memory.OpenHandles() == 0);
  return os.Memory.Files[cIniPath];
}

// A name or value that a line carries unchanged: no blank or control character at its ends.
std::u16string Trimmed(std::u16string text) {
  while (!text.empty() && text.back() <= u' ') text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && text[start] <= u' ') ++start;
  return text.substr(start);
}

// An entry name that reads back as itself: no "=" and nothing that makes the line a comment
// or a header. The program's own names (top, unit7, ...) are all of this kind.
bool PlainName(const std::u16string& name) {
  return !name.empty() && name == Trimmed(name) && name.find(u'=') == std::u16string::npos &&
         name.find_first_of(u"\r\n") == std::u16string::npos && name.front() != u';' && name.front() != u'[';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  os.Memory.Files.clear();
  os.Memory.Files[cIniPath] = bytes;
  std::unique_ptr<settings::TMemIniFile> first;
  try {
    first = std::make_unique<settings::TMemIniFile>(cIniPath);
  } catch (const settings::EIniEncodingError&) {
    return 0;
  }
  TNames names = NamesIn(bytes);
  // Writes as the program makes them: plain names, values without blanks at their ends.
  for (std::size_t i = 0; i < names.Keys.size() && i < 8; ++i) {
    // Section names too come trimmed: "main", or a licence as a load read it.
    const std::u16string section = Trimmed(names.Sections[i % names.Sections.size()]);
    const std::u16string value = Trimmed(names.Keys[i]);
    if (!PlainName(names.Keys[i]) || section.find_first_of(u"\r\n") != std::u16string::npos ||
        value.find_first_of(u"\r\n") != std::u16string::npos)
      continue;
    first->WriteString(section, names.Keys[i], value);
  }

  const std::string flushed = Flush(*first);
  settings::TMemIniFile second(cIniPath);
  const std::string again = Flush(second);
  FUZZ_CHECK(flushed == again);
  FUZZ_CHECK(flushed.starts_with("\xEF\xBB\xBF"));

  std::vector<std::u16string> before, after;
  for (const std::u16string& rawSection : names.Sections) {
    // A header's name is trimmed at load, so only the trimmed name addresses it after a flush.
    const std::u16string section = Trimmed(rawSection);
    first->ReadSectionValues(section, before);
    second.ReadSectionValues(section, after);
    FUZZ_CHECK(before == after);
    for (const std::u16string& key : names.Keys) {
      FUZZ_CHECK(first->ReadString(section, key, u"\x1F") == second.ReadString(section, key, u"\x1F"));
    }
  }
  return 0;
}
