// The version look-up through the Win32 version functions, on the shipped Quorvel.exe, on a
// program without a version resource, and on crafted blocks beside the portable reader.
#include <windows.h>

#include <gtest/gtest.h>

#include "Win32Fixture.h"
#include "app/VersionBlockBuilder.h"
#include "app/VersionInfo.h"
#include "platform/Exception.h"
#include "platform/VersionBlock.h"
#include "platform/win32/Win32.h"

namespace {

using namespace quorvel_test;

// The real backend with a crafted block in place of the file's, looked up by VerQueryValueW or
// by the portable reader that the stand-in backend uses.
class TCraftedApp : public platform::win32::TWin32App {
 public:
  std::vector<std::uint8_t> Block;
  bool Portable = false;
  std::vector<std::uint8_t> ReadVersionBlock(const std::u16string&) override { return Block; }
  std::optional<platform::TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block,
                                                           const std::u16string& path) override {
    if (!Portable) return TWin32App::QueryVersionValue(block, path);
    std::optional<platform::TVersionBlock::TValue> value = platform::TVersionBlock(block).Query(path);
    if (!value) return std::nullopt;
    return platform::TVersionValue{value->Length, value->Bytes};
  }
};

class TCraftedPlatform : public platform::win32::TWin32Platform {
 public:
  TCraftedApp Crafted;
  platform::IApplication& App() override { return Crafted; }
};

// GetVersionInfo's answer, or its error's text.
std::u16string Answer(app::TVerResourceKey key) {
  try {
    return u"value: " + app::GetVersionInfo(u"C:\\crafted.exe", key);
  } catch (const platform::Exception& error) {
    return u"error: " + error.Message();
  }
}

TEST(Win32Version, TheVersionLibraryAndThePortableReaderAgreeOnCraftedBlocks) {
  const TVerNode english =
      StringTable(u"040904E4", {TextValue(u"CompanyName", u"Quorvel Project"), TextValue(u"FileVersion", u"2.0.4.0")});
  const TVerNode japanese =
      StringTable(u"041104B0", {TextValue(u"CompanyName", u"別の会社"), TextValue(u"ProductName", u"製品")});
  const std::vector<TVerNode> blocks = {
      VersionInfo({StringFileInfo({english, japanese}), VarFileInfo({{0x0409, 0x04E4}, {0x0411, 0x04B0}})}),
      // Only the first translation counts, even where a later one holds the value.
      VersionInfo({StringFileInfo({english, japanese}), VarFileInfo({{0x0411, 0x04B0}, {0x0409, 0x04E4}})}),
      // Stored lengths that do not count the null, or count it alone.
      VersionInfo({StringFileInfo({StringTable(
                       u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0", 7), TextValue(u"CompanyName", u"", 1)})}),
                   VarFileInfo({{0x0409, 0x04E4}})}),
      // Names in another letter case; a translation without a table of its own.
      VersionInfo({StringFileInfo({StringTable(u"040904e4", {TextValue(u"fileversion", u"1.2")})}),
                   VarFileInfo({{0x0409, 0x04E4}})}),
      VersionInfo({StringFileInfo({english}), VarFileInfo({{0x0407, 0x04E4}})}),
      // No translation table, and an empty one.
      VersionInfo({StringFileInfo({english})}),
      VersionInfo({StringFileInfo({english}), VarFileInfo({})}),
  };
  const std::u16string paths[] = {
      u"\\",
      u"",
      u"\\VarFileInfo\\Translation",
      u"\\varfileinfo\\TRANSLATION",
      u"\\StringFileInfo",
      u"\\StringFileInfo\\040904E4\\FileVersion",
      u"\\\\StringFileInfo\\\\040904E4\\CompanyName\\",
      u"\\StringFileInfo\\041104B0\\ProductName",
      u"\\StringFileInfo\\040904E4\\FileVersion\\Deeper",
      u"\\StringFileInfo\\040904E4\\FileVersio",
      u"\\VS_VERSION_INFO",
  };
  TCraftedPlatform os;
  platform::TPlatform& outer = platform::Current();
  platform::SetCurrent(&os);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    os.Crafted.Block = blocks[b].Bytes();
    const std::span<const std::uint8_t> bytes(os.Crafted.Block);
    for (const std::u16string& path : paths) {
      const std::string where = "block " + std::to_string(b) + ", " + platform::ToUtf8(path);
      os.Crafted.Portable = true;
      const std::optional<platform::TVersionValue> portable = os.Crafted.QueryVersionValue(bytes, path);
      os.Crafted.Portable = false;
      const std::optional<platform::TVersionValue> library = os.Crafted.QueryVersionValue(bytes, path);
      ASSERT_EQ(library.has_value(), portable.has_value()) << where;
      if (!library) continue;
      EXPECT_EQ(library->Length, portable->Length) << where;
      ASSERT_LE(portable->Bytes.size(), library->Bytes.size()) << where;
      if (!portable->Bytes.empty()) {
        EXPECT_TRUE(std::equal(portable->Bytes.begin(), portable->Bytes.end(), library->Bytes.begin())) << where;
      }
    }
    for (int key = app::vrComments; key <= app::vrSpecialBuild; ++key) {
      os.Crafted.Portable = true;
      const std::u16string portable = Answer(static_cast<app::TVerResourceKey>(key));
      os.Crafted.Portable = false;
      EXPECT_EQ(Answer(static_cast<app::TVerResourceKey>(key)), portable) << "block " << b << ", key " << key;
    }
  }
  platform::SetCurrent(&outer);
}

// Built two folders up from the tests, in the build's top folder.
std::u16string QuorvelExe() { return Narrow16(OwnFolder() + L"\\..\\..\\Quorvel.exe"); }

std::u16string OwnExe() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return Narrow16(path);
}

TEST(Win32Version, TheShippedProgramCarriesItsVersionAndCompany) {
  ASSERT_NE(GetFileAttributesW(Wide(QuorvelExe()).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(app::GetVersionInfo(QuorvelExe(), app::vrFileVersion), u"2.0.4.0");
  EXPECT_EQ(app::GetVersionInfo(QuorvelExe(), app::vrCompanyName), u"Quorvel Project");
  EXPECT_EQ(app::GetVersionInfo(QuorvelExe(), app::vrSpecialBuild), u"") << "an absent value is empty";
}

TEST(Win32Version, AProgramWithoutAVersionResourceGivesEmptyValues) {
  EXPECT_EQ(app::GetVersionInfo(OwnExe(), app::vrFileVersion), u"");
  EXPECT_EQ(app::GetVersionInfo(OwnExe(), app::vrCompanyName), u"");
  EXPECT_EQ(app::GetVersionInfo(u"Z:\\no\\such\\file.exe", app::vrFileVersion), u"");
}

}  // namespace
