// Reads, writes, listing and erasing on the settings object.
#include "IniTestFixture.h"

#include "settings/IniErrors.h"

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

class IniFile : public TIniTest {
 protected:
  std::vector<std::u16string> Lines(TMemIniFile& ini, const std::u16string& section) {
    std::vector<std::u16string> lines;
    ini.ReadSectionValues(section, lines);
    return lines;
  }
};

TEST_F(IniFile, ReadStringFindsTheFirstMatchWithoutRegardToCase) {
  WriteIni(
      "[MAIN]\nTOP=5\ntop=6\nempty=\n[main]\ntop=7\nsecond=only here\n"
      "[Straße]\nÄrger=umlaut\n[ΣΊΣΥΦΟΣ]\nκλειδί=greek\n[ｆｕｌｌ]\nｗｉｄｔｈ=yes\n");
  TMemIniFile ini(IniName());
  struct TCase {
    std::u16string Section, Ident, Expected;
  };
  const TCase cases[] = {
      {u"main", u"top", u"5"},
      {u"Main", u"Top", u"5"},
      {u"main", u"empty", u""},            // empty value, not the default
      {u"main", u"second", u"(default)"},  // only the second section has it
      {u"main", u"missing", u"(default)"},
      {u"other", u"top", u"(default)"},
      {u"STRASSE", u"ärger", u"(default)"},  // ß has no single-letter upper case
      {u"straße", u"ärger", u"umlaut"},
      {u"STRAßE", u"ÄRGER", u"umlaut"},
      {u"σίσυφος", u"ΚΛΕΙΔΊ", u"greek"},  // final sigma too
      {u"ＦＵＬＬ", u"ＷＩＤＴＨ", u"yes"},
      {u"main ", u"top", u"(default)"},  // names are matched as given, not trimmed
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ini.ReadString(c.Section, c.Ident, u"(default)"), c.Expected)
        << platform::ToUtf8(c.Section) << "/" << platform::ToUtf8(c.Ident);
  }
}

TEST_F(IniFile, WriteStringReplacesTheFirstMatchInPlaceWithTheNameAsGiven) {
  WriteIni("[MAIN]\nLeft=1\nTOP=5\ntop=6\n[main]\ntop=7\n");
  TMemIniFile ini(IniName());
  ini.WriteInteger(u"main", u"top", 120);
  EXPECT_EQ(ini.ReadInteger(u"Main", u"TOP", 0), 120);
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[MAIN]\r\nLeft=1\r\ntop=120\r\ntop=6\r\n\r\n[main]\r\ntop=7\r\n\r\n");
}

TEST_F(IniFile, WriteStringAddsMissingEntriesAndSectionsAtTheEnd) {
  WriteIni("[a]\nk=1\nwords\n[b]\nk=2\n");
  TMemIniFile ini(IniName());
  ini.WriteString(u"a", u"new", u"x");
  ini.WriteString(u"c", u"k", u"3");
  ini.WriteString(u"C", u"K", u"4");  // the new section is found again by any case
  ini.WriteString(u"a", u"later", u"y");
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[a]\r\nk=1\r\nwords\r\nnew=x\r\nlater=y\r\n\r\n[b]\r\nk=2\r\n\r\n[c]\r\nK=4\r\n\r\n");
}

TEST_F(IniFile, ATextLineIsNoEntry) {
  WriteIni("[a]\nwords\n[main] ; state\n");
  TMemIniFile ini(IniName());
  EXPECT_EQ(ini.ReadString(u"a", u"words", u"-"), u"-");
  EXPECT_EQ(ini.ReadString(u"main", u"state", u"-"), u"-");
  ini.WriteString(u"a", u"words", u"now");
  EXPECT_EQ(Lines(ini, u"a"), (std::vector<std::u16string>{u"words", u"[main] ; state", u"words=now"}));
}

TEST_F(IniFile, ReadSectionValuesListsEveryLineOfTheFirstMatch) {
  WriteIni("[a]\n k = 1 \nwords\nk=2\n[A]\nother=1\n[b]\n");
  TMemIniFile ini(IniName());
  ini.WriteString(u"a", u"Added", u"v");
  ini.WriteString(u"a", u"K", u"3");
  std::vector<std::u16string> lines{u"replaced"};
  ini.ReadSectionValues(u"A", lines);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"K=3", u"words", u"k=2", u"Added=v"}));
  ini.ReadSectionValues(u"b", lines);
  EXPECT_TRUE(lines.empty());
  lines = {u"replaced"};
  ini.ReadSectionValues(u"missing", lines);
  EXPECT_TRUE(lines.empty());
}

TEST_F(IniFile, EraseSectionRemovesTheFirstMatchOnly) {
  WriteIni("[a]\nk=1\n[b]\nk=2\n[A]\nk=3\n");
  TMemIniFile ini(IniName());
  ini.EraseSection(u"missing");
  ini.EraseSection(u"A");
  EXPECT_EQ(ini.ReadString(u"a", u"k", u""), u"3") << "the next one of that name comes forward";
  ini.EraseSection(u"a");
  EXPECT_EQ(ini.ReadString(u"a", u"k", u"gone"), u"gone");
  ini.WriteString(u"a", u"k", u"4");
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[b]\r\nk=2\r\n\r\n[a]\r\nk=4\r\n\r\n");
}

TEST_F(IniFile, SavingATableMovesItsSectionToTheEnd) {
  WriteIni("[LIC-7]\nunit1=old\nnote=lost\n[main]\ntop=1\n");
  TMemIniFile ini(IniName());
  ini.EraseSection(u"LIC-7");
  ini.WriteString(u"LIC-7", u"unit1", u"XR-100");
  ini.WriteString(u"LIC-7", u"comment1", u"front desk");
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[main]\r\ntop=1\r\n\r\n[LIC-7]\r\nunit1=XR-100\r\ncomment1=front desk\r\n\r\n");
}

TEST_F(IniFile, ALongSectionFindsItsEntriesAsAShortOneDoes) {
  // Long enough for the entry index; duplicates and case must behave as in a short one.
  std::string text = "[big]\n";
  for (int i = 0; i < 100; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "KEY5=dup\nwords\n";
  WriteIni(text);
  TMemIniFile ini(IniName());
  EXPECT_EQ(ini.ReadString(u"big", u"Key5", u""), u"5");
  EXPECT_EQ(ini.ReadString(u"big", u"key99", u""), u"99");
  EXPECT_EQ(ini.ReadString(u"big", u"key100", u"-"), u"-");
  ini.WriteString(u"big", u"KEY7", u"seven");
  ini.WriteString(u"big", u"extra", u"1");
  ini.WriteString(u"big", u"EXTRA", u"2");
  EXPECT_EQ(ini.ReadString(u"big", u"key7", u""), u"seven");
  EXPECT_EQ(ini.ReadString(u"big", u"Extra", u""), u"2");
  std::vector<std::u16string> lines = Lines(ini, u"big");
  ASSERT_EQ(lines.size(), 103u);
  EXPECT_EQ(lines[7], u"KEY7=seven");
  EXPECT_EQ(lines[100], u"KEY5=dup");
  EXPECT_EQ(lines[102], u"EXTRA=2");
}

TEST_F(IniFile, ManySectionsOfOneNameKeepTheirOrder) {
  std::string text;
  for (int i = 0; i < 5; ++i) text += "[s]\nk=" + std::to_string(i) + "\n";
  WriteIni(text);
  TMemIniFile ini(IniName());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ini.ReadInteger(u"S", u"k", -1), i);
    ini.EraseSection(u"s");
  }
  EXPECT_EQ(ini.ReadInteger(u"s", u"k", -1), -1);
}

TEST_F(IniFile, LineBreaksAreRefusedAndNothingIsWritten) {
  WriteIni("[a]\nk=1\n");
  TMemIniFile ini(IniName());
  struct TCase {
    std::u16string Section, Ident, Value;
  };
  const TCase cases[] = {
      {u"a\r", u"k", u"v"},          {u"a", u"k\n", u"v"}, {u"a", u"k", u"v\r\nx=1"},
      {u"new\nsection", u"k", u"v"}, {u"a", u"k", u"\n"},
  };
  for (const TCase& c : cases) {
    try {
      ini.WriteString(c.Section, c.Ident, c.Value);
      ADD_FAILURE() << "accepted " << platform::ToUtf8(c.Section + u"/" + c.Ident + u"/" + c.Value);
    } catch (const settings::EIniLineBreakError& error) {
      EXPECT_EQ(error.Message(),
                u"ファイル \"" + IniName() + u"\" に改行を含むセクション名、キー名または値は書き込めません");
    }
  }
  EXPECT_EQ(ini.ReadString(u"a", u"k", u""), u"1");
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[a]\r\nk=1\r\n\r\n");
}

// A surrogate without its partner has no UTF-8 form; a whole pair is a character like any other.
TEST_F(IniFile, LoneSurrogatesAreRefusedAndNothingIsWritten) {
  WriteIni("[a]\nk=1\n");
  TMemIniFile ini(IniName());
  for (const std::u16string lone : {u"\xD83D", u"x\xDE00", u"\xDE00\xD83D", u"\xD83Dx"}) {
    EXPECT_THROW(ini.WriteString(lone, u"k", u"v"), settings::EIniSurrogateError);
    EXPECT_THROW(ini.WriteString(u"a", lone, u"v"), settings::EIniSurrogateError);
    EXPECT_THROW(ini.WriteString(u"a", u"k", lone), settings::EIniSurrogateError);
  }
  ini.WriteString(u"a", u"k", u"\xD83D\xDE00");
  ini.UpdateFile();
  EXPECT_EQ(ReadIni(), cBom + "[a]\r\nk=\xF0\x9F\x98\x80\r\n\r\n");
}

TEST_F(IniFile, ChangesAreLostWithoutAFlush) {
  WriteIni("[a]\nk=1\n");
  {
    TMemIniFile ini(IniName());
    ini.WriteString(u"a", u"k", u"2");
    ini.EraseSection(u"a");
  }
  EXPECT_EQ(ReadIni(), "[a]\nk=1\n");
}

TEST_F(IniFile, AnObjectNeverReadsTheFileAgain) {
  WriteIni("[a]\nk=1\n");
  TMemIniFile ini(IniName());
  WriteIni("[a]\nk=2\n");
  EXPECT_EQ(ini.ReadString(u"a", u"k", u""), u"1");
  EXPECT_EQ(TMemIniFile(IniName()).ReadString(u"a", u"k", u""), u"2");
}

TEST_F(IniFile, ValuesOutsideTheBasicPlaneRoundTrip) {
  const std::u16string value = u"\U0001F600 and 𠀋";
  {
    TMemIniFile ini(IniName());
    ini.WriteString(u"a", u"\U0001F600", value);
    ini.UpdateFile();
  }
  TMemIniFile ini(IniName());
  EXPECT_EQ(ini.ReadString(u"a", u"\U0001F600", u""), value);
}

}  // namespace
}  // namespace quorvel_test
