// The error box's title and text rules.
#include <gtest/gtest.h>

#include "platform/ErrorBox.h"

TEST(ErrorBox, TitleIsExecutableNameUpToFirstDotWithLaterCharactersLowered) {
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\Program Files\\Quorvel\\Quorvel.exe"), u"Quorvel");
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\x\\QUORVEL.EXE"), u"Quorvel");
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\x\\my.tool.exe"), u"my") << "the first character stays as it is";
  EXPECT_EQ(platform::ErrorBoxTitle(u"D:noext"), u"noext");
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\x\\ÄÖÜ.exe"), u"Äöü");
  // Every letter, beyond Latin-1 and beyond U+FFFF too, whose first character is a pair.
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\x\\ΑΒΓ-ДЖ-ŁİǅⅫＡ.exe"), u"Αβγ-дж-łiǆⅻａ");
  EXPECT_EQ(platform::ErrorBoxTitle(u"C:\\x\\\U00010400\U00010401\U0001E900.exe"), u"\U00010400\U00010429\U0001E922");
}

TEST(ErrorBox, FullStopAppendedOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(platform::ErrorBoxText(u"情報の取得に失敗しました"), u"情報の取得に失敗しました.");
  EXPECT_EQ(platform::ErrorBoxText(u"ends with a"), u"ends with a.");
  EXPECT_EQ(platform::ErrorBoxText(u"already."), u"already.");
  EXPECT_EQ(platform::ErrorBoxText(u"ファイル x は開けません。 y "), u"ファイル x は開けません。 y ")
      << "a blank is below '.'";
  EXPECT_EQ(platform::ErrorBoxText(u"bang!"), u"bang!");
  EXPECT_EQ(platform::ErrorBoxText(u"dash-"), u"dash-");
  EXPECT_EQ(platform::ErrorBoxText(u"slash/"), u"slash/.");
  EXPECT_EQ(platform::ErrorBoxText(u""), u"");
}
