// The version look-up through the Win32 version functions, on the shipped Quorvel.exe and on
// a program without a version resource.
#include <windows.h>

#include <gtest/gtest.h>

#include "Win32Fixture.h"
#include "app/VersionInfo.h"

namespace {

using namespace quorvel_test;

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
