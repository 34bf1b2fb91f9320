// The bytes on disk: how a file is read and what a flush writes back.
#include "IniTestFixture.h"

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

class IniFormat : public TIniTest {};

TEST_F(IniFormat, FlushNormalisesTheLines) {
  struct TCase {
    const char* Name;
    std::string Stored;
    std::string Written;
  };
  const TCase cases[] = {
      {"bom kept once", cBom + "[a]\r\nk=v\r\n", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"bom added", "[a]\r\nk=v\r\n", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"lf ends", "[a]\nk=v\nj=w", cBom + "[a]\r\nk=v\r\nj=w\r\n\r\n"},
      {"cr ends", "[a]\rk=v\rj=w\r", cBom + "[a]\r\nk=v\r\nj=w\r\n\r\n"},
      {"mixed ends", "[a]\r\nk=v\rj=w\nl=x", cBom + "[a]\r\nk=v\r\nj=w\r\nl=x\r\n\r\n"},
      {"cr cr is an empty line", "[a]\r\rk=v", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"blanks around =", "[a]\n  top = 120  \n", cBom + "[a]\r\ntop=120\r\n\r\n"},
      {"tabs and controls trimmed", "[a]\n\t\x01k\x1f=\x0bv\x7f\t\n", cBom + "[a]\r\nk=v\x7f\r\n\r\n"},
      {"nul trimmed", std::string("[a]\nk=v\0\n", 9), cBom + "[a]\r\nk=v\r\n\r\n"},
      {"ideographic space kept", "[a]\n\xE3\x80\x80k=v\xE3\x80\x80\n",
       cBom + "[a]\r\n\xE3\x80\x80k=v\xE3\x80\x80\r\n\r\n"},
      {"comments and empty lines dropped", "[a]\n; note\n\n   \n  ;k=v\nk=v\n", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"hash is no comment", "[a]\n#x=1\n# words\n", cBom + "[a]\r\n#x=1\r\n# words\r\n\r\n"},
      {"lines above the first header dropped", "top=1\nwords\n[a]\nk=v\n", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"header name trimmed", "[  a b  ]\n", cBom + "[a b]\r\n\r\n"},
      {"blanks around a header", "  [a]  \nk=v\n", cBom + "[a]\r\nk=v\r\n\r\n"},
      {"text after ] is a text line", "[a]\n[main] ; state\n", cBom + "[a]\r\n[main] ; state\r\n\r\n"},
      {"empty header", "[]\nk=v\n", cBom + "[]\r\nk=v\r\n\r\n"},
      {"lone bracket is text", "[a]\n[\n]\n", cBom + "[a]\r\n[\r\n]\r\n\r\n"},
      {"= inside brackets is a header", "[a=b]\nk=v\n", cBom + "[a=b]\r\nk=v\r\n\r\n"},
      {"first = splits", "[a]\na = b = c\n", cBom + "[a]\r\na=b = c\r\n\r\n"},
      {"empty name and value", "[a]\n=\n = x\ny =\n", cBom + "[a]\r\n=\r\n=x\r\ny=\r\n\r\n"},
      {"text line kept", "[a]\n  just words  \n", cBom + "[a]\r\njust words\r\n\r\n"},
      {"duplicates kept", "[a]\nk=1\nk=2\n[a]\nk=3\n", cBom + "[a]\r\nk=1\r\nk=2\r\n\r\n[a]\r\nk=3\r\n\r\n"},
      {"empty section", "[a]\n[b]\nk=v\n", cBom + "[a]\r\n\r\n[b]\r\nk=v\r\n\r\n"},
      {"japanese", "[設定]\n名前=値\n", cBom + "[設定]\r\n名前=値\r\n\r\n"},
      {"no sections", "top=1\n; only\n", cBom},
      {"empty file", "", cBom},
      {"only the bom", cBom, cBom},
      {"bom not at the start is text", "[a]\n" + cBom + "k=v\n", cBom + "[a]\r\n" + cBom + "k=v\r\n\r\n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Flushed(c.Stored), c.Written) << c.Name;
}

TEST_F(IniFormat, AMissingFileReadsEmptyAndCreatesNothing) {
  {
    TMemIniFile ini(IniName());
    EXPECT_EQ(ini.ReadString(u"main", u"top", u"none"), u"none");
    std::vector<std::u16string> lines{u"stale"};
    ini.ReadSectionValues(u"main", lines);
    EXPECT_TRUE(lines.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(IniFormat, AFolderAtThePathReadsEmpty) {
  std::filesystem::create_directory(Path);
  TMemIniFile ini(IniName());
  EXPECT_EQ(ini.ReadString(u"main", u"top", u"none"), u"none");
  EXPECT_TRUE(std::filesystem::is_directory(Path));
}

TEST_F(IniFormat, AnObjectWithoutSectionsFlushesToTheMarkOnly) {
  TMemIniFile(IniName()).UpdateFile();
  EXPECT_EQ(ReadIni(), cBom);
}

TEST_F(IniFormat, TheConvertersFileReadsLikeOurOwn) {
  WriteIni("[main]\n top = 120 \nfilename = D:\\apps\\a.zip\n");
  TMemIniFile ini(IniName());
  EXPECT_EQ(ini.ReadInteger(u"main", u"top", -1), 120);
  EXPECT_EQ(ini.ReadString(u"main", u"filename", u""), u"D:\\apps\\a.zip");
}

TEST_F(IniFormat, WrittenFilesRoundTrip) {
  {
    TMemIniFile ini(IniName());
    ini.WriteInteger(u"main", u"top", 120);
    ini.WriteInteger(u"main", u"left", -200);
    ini.WriteString(u"main", u"filename", u"D:\\apps\\a.zip");
    ini.WriteBool(u"main", u"PDFOut", true);
    ini.WriteString(u"LIC-7", u"unit1", u"XR-100");
    ini.WriteString(u"LIC-7", u"comment1", u"front desk");
    ini.WriteString(u"LIC-7", u"unit2", u"XR-200");
    ini.UpdateFile();
  }
  const std::string expected = cBom +
                               "[main]\r\ntop=120\r\nleft=-200\r\nfilename=D:\\apps\\a.zip\r\nPDFOut=1\r\n\r\n"
                               "[LIC-7]\r\nunit1=XR-100\r\ncomment1=front desk\r\nunit2=XR-200\r\n\r\n";
  EXPECT_EQ(ReadIni(), expected);
  // Loaded again and flushed unchanged, the bytes stay the same.
  TMemIniFile(IniName()).UpdateFile();
  EXPECT_EQ(ReadIni(), expected);
  TMemIniFile again(IniName());
  EXPECT_EQ(again.ReadInteger(u"main", u"left", 0), -200);
  EXPECT_EQ(again.ReadString(u"LIC-7", u"comment1", u""), u"front desk");
}

TEST_F(IniFormat, BlanksAroundAValueDoNotSurviveAReload) {
  {
    TMemIniFile ini(IniName());
    ini.WriteString(u"m", u"unit1", u"  XR-100\t");
    EXPECT_EQ(ini.ReadString(u"m", u"unit1", u""), u"  XR-100\t") << "stored unchanged in memory";
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadIni(), cBom + "[m]\r\nunit1=  XR-100\t\r\n\r\n");
  EXPECT_EQ(TMemIniFile(IniName()).ReadString(u"m", u"unit1", u""), u"XR-100");
}

TEST_F(IniFormat, TheEncodingIsKept) {
  TMemIniFile ini(IniName(), settings::TEncoding::UTF8);
  EXPECT_EQ(ini.Encoding(), settings::TEncoding::UTF8);
  EXPECT_EQ(ini.FileName(), IniName());
}

}  // namespace
}  // namespace quorvel_test
