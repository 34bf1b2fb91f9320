#pragma once
// String values of a file's version resource, as the footer reads them.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

enum TVerResourceKey : std::uint8_t {
  vrComments,
  vrCompanyName,
  vrFileDescription,
  vrFileVersion,
  vrInternalName,
  vrLegalCopyright,
  vrLegalTrademarks,
  vrOriginalFilename,
  vrPrivateBuild,
  vrProductName,
  vrProductVersion,
  vrSpecialBuild,
};

// The name of each key's string value, indexed by TVerResourceKey.
inline constexpr std::array<std::u16string_view, vrSpecialBuild + 1> cKeyWordStr = {
    u"Comments",        u"CompanyName",      u"FileDescription", u"FileVersion", u"InternalName",   u"LegalCopyright",
    u"LegalTrademarks", u"OriginalFilename", u"PrivateBuild",    u"ProductName", u"ProductVersion", u"SpecialBuild",
};

// The value KeyWord of ExeName's first translation; empty when the file has no version
// resource or that value is absent. Raises "情報の取得に失敗しました" when the resource has
// no translation table.
std::u16string GetVersionInfo(const std::u16string& ExeName, TVerResourceKey KeyWord);

}  // namespace app
