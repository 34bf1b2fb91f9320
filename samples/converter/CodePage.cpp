#include "CodePage.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace halvorn {

unsigned CodePageOf(std::string_view encodingName) {
  std::string name(encodingName);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  struct TName {
    const char* Name;
    unsigned CodePage;
  };
  static constexpr TName known[] = {
      {"shift_jis", 932}, {"shift-jis", 932},     {"sjis", 932},         {"windows-31j", 932},   {"cp932", 932},
      {"euc-jp", 20932},  {"iso-2022-jp", 50220}, {"iso-8859-1", 28591}, {"windows-1252", 1252}, {"us-ascii", 20127},
  };
  for (const TName& entry : known)
    if (name == entry.Name) return entry.CodePage;
  return 0;
}

std::u16string DecodeCodePage(std::string_view bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  int size = static_cast<int>(bytes.size());
  int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

}  // namespace halvorn
