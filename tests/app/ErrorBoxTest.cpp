// The error box's title and text rules.
#include <gtest/gtest.h>

#include "app/ErrorBox.h"

TEST(ErrorBox, TitleIsExecutableNameUpToFirstDotWithLaterCharactersLowered) {
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\Program Files\\Quorvel\\Quorvel.exe"), u"Quorvel");
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\x\\QUORVEL.EXE"), u"Quorvel");
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\x\\my.tool.exe"), u"my") << "the first character stays as it is";
  EXPECT_EQ(app::ErrorBoxTitle(u"D:noext"), u"noext");
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\x\\ÄÖÜ.exe"), u"Äöü");
  // Every letter, beyond Latin-1 and beyond U+FFFF too, whose first character is a pair.
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\x\\ΑΒΓ-ДЖ-ŁİǅⅫＡ.exe"), u"Αβγ-дж-łiǆⅻａ");
  EXPECT_EQ(app::ErrorBoxTitle(u"C:\\x\\\U00010400\U00010401\U0001E900.exe"), u"\U00010400\U00010429\U0001E922");
}

TEST(ErrorBox, FullStopAppendedOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(app::ErrorBoxText(u"情報の取得に失敗しました"), u"情報の取得に失敗しました.");
  EXPECT_EQ(app::ErrorBoxText(u"ends with a"), u"ends with a.");
  EXPECT_EQ(app::ErrorBoxText(u"already."), u"already.");
  EXPECT_EQ(app::ErrorBoxText(u"ファイル x は開けません。 y "), u"ファイル x は開けません。 y ")
      << "a blank is below '.'";
  EXPECT_EQ(app::ErrorBoxText(u"bang!"), u"bang!");
  EXPECT_EQ(app::ErrorBoxText(u"dash-"), u"dash-");
  EXPECT_EQ(app::ErrorBoxText(u"slash/"), u"slash/.");
  EXPECT_EQ(app::ErrorBoxText(u""), u"");
}
