// The program's path operations.
#include <gtest/gtest.h>

#include "convert/PathRules.h"

using namespace convert;

TEST(PathRules, SplitAtLastBackslashOrColon) {
  struct TCase {
    std::u16string Path, Name, FilePath, Dir;
  };
  const TCase cases[] = {
      {u"D:\\apps\\a.zip", u"a.zip", u"D:\\apps\\", u"D:\\apps"},
      {u"C:\\a.zip", u"a.zip", u"C:\\", u"C:"},
      {u"C:a.zip", u"a.zip", u"C:", u"C"},
      {u"a.zip", u"a.zip", u"", u""},
      {u"", u"", u"", u""},
      {u"\\\\server\\share\\x.xml", u"x.xml", u"\\\\server\\share\\", u"\\\\server\\share"},
      {u"D:\\dir\\", u"", u"D:\\dir\\", u"D:\\dir"},
      {u"/unix/style/a.zip", u"/unix/style/a.zip", u"", u""},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ExtractFileName(c.Path), c.Name);
    EXPECT_EQ(ExtractFilePath(c.Path), c.FilePath);
    EXPECT_EQ(ExtractFileDir(c.Path), c.Dir);
  }
}

TEST(PathRules, ChangeFileExtReplacesOnlyTheLastExtensionOfTheName) {
  EXPECT_EQ(ChangeFileExt(u"D:\\apps\\a.zip", u".pdf"), u"D:\\apps\\a.pdf");
  EXPECT_EQ(ChangeFileExt(u"D:\\data.old\\doc", u".pdf"), u"D:\\data.old\\doc.pdf");
  EXPECT_EQ(ChangeFileExt(u"a.tar.zip", u".pdf"), u"a.tar.pdf");
  EXPECT_EQ(ChangeFileExt(u"", u".pdf"), u".pdf");
  EXPECT_EQ(ChangeFileExt(u".zip", u".pdf"), u".zip.pdf") << "a leading dot of the path is no extension";
  EXPECT_EQ(ChangeFileExt(u"D:\\x\\.hidden", u".pdf"), u"D:\\x\\.pdf");
  EXPECT_EQ(ChangeFileExt(u"D:\\x.zi", u".pdf"), u"D:\\x.pdf");
  EXPECT_EQ(ChangeFileExt(u"C:x", u".pdf"), u"C:x.pdf");
}

TEST(PathRules, FileNameWithoutExtension) {
  EXPECT_EQ(FileNameWithoutExt(u"C:\\Program Files\\Quorvel\\Quorvel.exe"), u"Quorvel");
  EXPECT_EQ(FileNameWithoutExt(u"C:\\x\\Renamed.v2.exe"), u"Renamed.v2");
  EXPECT_EQ(FileNameWithoutExt(u"C:\\x\\.exe"), u".exe");
  EXPECT_EQ(FileNameWithoutExt(u"noext"), u"noext");
}

TEST(PathRules, DialogFolderKeepsDriveRoots) {
  EXPECT_EQ(DialogFolder(u"C:\\a.zip"), u"C:\\");
  EXPECT_EQ(DialogFolder(u"C:a.zip"), u"C:");
  EXPECT_EQ(DialogFolder(u"D:\\apps\\a.zip"), u"D:\\apps");
  EXPECT_EQ(DialogFolder(u"a.zip"), u"");
  EXPECT_EQ(DialogFolder(u"\\\\server\\share\\a.zip"), u"\\\\server\\share");
}
