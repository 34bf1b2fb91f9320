// GetVersionInfo's look-up rules over crafted version blocks on the stand-in backend.
#include "AppFixture.h"
#include "VersionBlockBuilder.h"
#include "app/VersionInfo.h"
#include "platform/Exception.h"

using quorvel_test::StringFileInfo;
using quorvel_test::StringTable;
using quorvel_test::TAppTest;
using quorvel_test::TextValue;
using quorvel_test::TVerNode;
using quorvel_test::VarFileInfo;
using quorvel_test::VersionInfo;

namespace {

const std::u16string cFile = u"D:\\tools\\Some.exe";

TVerNode Usual() {
  return VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"CompanyName", u"Quorvel Project"),
                                                                TextValue(u"FileVersion", u"2.0.4.0")})}),
                      VarFileInfo({{0x0409, 0x04E4}})});
}

}  // namespace

class VersionInfoLookUp : public TAppTest {
 protected:
  void Install(const TVerNode& block) { Os().AppImpl.VersionBlocks[cFile] = block.Bytes(); }
};

TEST_F(VersionInfoLookUp, LookUpRules) {
  struct TCase {
    std::string Name;
    TVerNode Block;
    app::TVerResourceKey Key;
    std::u16string Expected;
  };
  const TCase cases[] = {
      {"file version", Usual(), app::vrFileVersion, u"2.0.4.0"},
      {"company name", Usual(), app::vrCompanyName, u"Quorvel Project"},
      {"absent value", Usual(), app::vrComments, u""},
      {"only the first translation counts, though a later one has the value",
       VersionInfo({StringFileInfo({StringTable(u"041104B0", {TextValue(u"CompanyName", u"Japan")}),
                                    StringTable(u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0")})}),
                    VarFileInfo({{0x0411, 0x04B0}, {0x0409, 0x04E4}})}),
       app::vrFileVersion, u""},
      {"the first translation's table, not the first table",
       VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"CompanyName", u"English")}),
                                    StringTable(u"041104B0", {TextValue(u"CompanyName", u"Japan")})}),
                    VarFileInfo({{0x0411, 0x04B0}, {0x0409, 0x04E4}})}),
       app::vrCompanyName, u"Japan"},
      {"language and code page as four upper-case hex digits each",
       VersionInfo({StringFileInfo({StringTable(u"0C0AFDE9", {TextValue(u"FileVersion", u"9.9")})}),
                    VarFileInfo({{0x0C0A, 0xFDE9}})}),
       app::vrFileVersion, u"9.9"},
      {"a table named in lower case still matches",
       VersionInfo({StringFileInfo({StringTable(u"040904e4", {TextValue(u"FileVersion", u"1.2")})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, u"1.2"},
      {"length without the null loses the last character",
       VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0", 7)})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, u"2.0.4."},
      {"length 1 is the null alone",
       VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0", 1)})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, u""},
      {"length 0",
       VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0", 0)})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, u""},
      {"length beyond the block keeps what the block holds",
       VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"abc", 300)})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, std::u16string(u"abc\0", 4)},
      {"no string table for the translation",
       VersionInfo({StringFileInfo({StringTable(u"041104B0", {TextValue(u"FileVersion", u"2.0.4.0")})}),
                    VarFileInfo({{0x0409, 0x04E4}})}),
       app::vrFileVersion, u""},
      {"no string file info at all", VersionInfo({VarFileInfo({{0x0409, 0x04E4}})}), app::vrFileVersion, u""},
  };
  for (const TCase& c : cases) {
    Install(c.Block);
    EXPECT_EQ(app::GetVersionInfo(cFile, c.Key), c.Expected) << c.Name;
  }
}

TEST_F(VersionInfoLookUp, EveryKeyReadsItsOwnValue) {
  const char16_t* names[] = {u"Comments",     u"CompanyName",    u"FileDescription", u"FileVersion",
                             u"InternalName", u"LegalCopyright", u"LegalTrademarks", u"OriginalFilename",
                             u"PrivateBuild", u"ProductName",    u"ProductVersion",  u"SpecialBuild"};
  std::vector<TVerNode> values;
  for (const char16_t* name : names) values.push_back(TextValue(name, std::u16string(name) + u" value"));
  Install(VersionInfo({StringFileInfo({StringTable(u"040904E4", values)}), VarFileInfo({{0x0409, 0x04E4}})}));
  ASSERT_EQ(app::cKeyWordStr.size(), std::size(names));
  for (std::size_t key = 0; key < std::size(names); ++key) {
    EXPECT_EQ(app::GetVersionInfo(cFile, static_cast<app::TVerResourceKey>(key)),
              std::u16string(names[key]) + u" value")
        << key;
  }
}

TEST_F(VersionInfoLookUp, NoVersionResourceGivesEmptyText) {
  EXPECT_EQ(app::GetVersionInfo(cFile, app::vrFileVersion), u"");
  Install(Usual());
  EXPECT_EQ(app::GetVersionInfo(u"D:\\tools\\Other.exe", app::vrCompanyName), u"");
}

TEST_F(VersionInfoLookUp, NoTranslationTableRaises) {
  const std::pair<std::string, TVerNode> cases[] = {
      {"no VarFileInfo", VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"1")})})})},
      {"empty translation table", VersionInfo({VarFileInfo({})})},
      {"nothing but the root", VersionInfo({})},
  };
  for (const auto& [name, block] : cases) {
    Install(block);
    try {
      app::GetVersionInfo(cFile, app::vrFileVersion);
      ADD_FAILURE() << name << ": no error";
    } catch (const platform::Exception& error) {
      EXPECT_EQ(error.Message(), u"情報の取得に失敗しました") << name;
    }
  }
  // Bytes too short to hold any block read as a resource without a translation table.
  Os().AppImpl.VersionBlocks[cFile] = {0x01, 0x02, 0x03};
  EXPECT_THROW(app::GetVersionInfo(cFile, app::vrCompanyName), platform::Exception);
}
