// A licence's section of a real settings file loaded into the model table and saved back.
#include "ModelFixture.h"
#include "platform/standin/Files.h"

using quorvel_test::cBom;
using quorvel_test::TRow;
using Rows_t = std::vector<TRow>;

namespace {

const std::string cMainSection = "[main]\r\nlicense=LIC-7\r\n\r\n";
const std::string cOther = "[OTHER]\r\nunit1=keep\r\n\r\n";

}  // namespace

class ModelStore : public quorvel_test::TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    Start();
  }
  // The file with LIC-7's section between two others.
  void WriteWithLicence(const std::string& lines) {
    WriteIni(cBom + cMainSection + "[LIC-7]\r\n" + lines + "\r\n" + cOther);
  }
  std::u16string LoadError(const std::u16string& licence) {
    try {
      Load(licence);
    } catch (const std::exception& error) {
      return platform::FromUtf8(error.what());
    }
    return u"(no error)";
  }
};

TEST_F(ModelStore, LoadPairsUnitsWithCommentsAndSaveWritesThemBack) {
  const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
  struct TCase {
    const char* What;
    std::string Lines;
    Rows_t Rows;
    std::string Saved;  // LIC-7's section after a save, at the end of the file; empty: no section
  };
  const TCase cases[] = {
      {"unit with comment", "unit3=A\r\ncomment3=note\r\n", {{u"3", u"A", u"note"}}, "unit3=A\r\ncomment3=note\r\n"},
      {"empty model", "unit3=\r\n", {{u"3", u"", u""}}, "unit3=\r\n"},
      {"letter case of the prefixes",
       "Unit3=A\r\nUNIT4=B\r\nunit5=C\r\nCOMMENT5=x\r\nComment5=y\r\n",
       {{u"5", u"C", u""}},
       "unit5=C\r\n"},
      {"comment without unit, other entries and text lines",
       "comment3=x\r\nfoo=bar\r\njust text\r\nunitary\r\n",
       {},
       ""},
      {"leading zeros",
       "unit03=A\r\ncomment03=x\r\nunit012=B\r\ncomment012=y\r\n",
       {{u"3", u"A", u"x"}, {u"12", u"B", u"y"}},
       "unit3=A\r\ncomment3=x\r\nunit12=B\r\ncomment12=y\r\n"},
      {"comment keys are found by text, not number",
       "unit012=B\r\ncomment12=y\r\n",
       {{u"12", u"B", u""}},
       "unit12=B\r\n"},
      {"row 0 is shown, never written", "unit0=A\r\ncomment0=x\r\n", {{u"0", u"A", u"x"}}, ""},
      {"sign and hexadecimal",
       "unit+5=A\r\nunit$6=B\r\nunit0x1F=C\r\nunitX20=D\r\nunit 7=E\r\n",
       {{u"5", u"A", u""}, {u"6", u"B", u""}, {u"7", u"E", u""}, {u"31", u"C", u""}, {u"32", u"D", u""}},
       "unit5=A\r\nunit6=B\r\nunit7=E\r\nunit31=C\r\nunit32=D\r\n"},
      {"40 characters",
       "unit1=" + forty + "\r\ncomment1=" + forty + "\r\n",
       {{u"1", platform::FromUtf8(forty.substr(0, 32)), platform::FromUtf8(forty.substr(0, 32))}},
       "unit1=" + forty.substr(0, 32) + "\r\ncomment1=" + forty.substr(0, 32) + "\r\n"},
      {"= in a value", "unit5=a=b\r\ncomment5==c\r\n", {{u"5", u"a=b", u"=c"}}, "unit5=a=b\r\ncomment5==c\r\n"},
      {"file order does not matter",
       "unit9=c\r\ncomment2=two\r\nunit2=b\r\nunit5=a\r\n",
       {{u"2", u"b", u"two"}, {u"5", u"a", u""}, {u"9", u"c", u""}},
       "unit2=b\r\ncomment2=two\r\nunit5=a\r\nunit9=c\r\n"},
      {"a unit listed twice",
       "unit5=A\r\ncomment5=x\r\nunit5=B\r\ncomment5=y\r\n",
       {{u"5", u"A", u"x"}, {u"5", u"A", u"x"}},
       "unit5=A\r\ncomment5=x\r\n"},
      {"keys pair without regard to letter case",
       "unit$a=1\r\nunit$A=2\r\ncomment$A=c\r\n",
       {{u"10", u"1", u"c"}, {u"10", u"1", u"c"}},
       "unit10=1\r\ncomment10=c\r\n"},
      {"comment keys match without regard to letter case",
       "unit5=A\r\ncommENT5=x\r\n",
       {{u"5", u"A", u"x"}},
       "unit5=A\r\ncomment5=x\r\n"},
      {"each spelling of a number finds its own comment",
       "unit5=A\r\nunit05=B\r\ncomment05=first\r\ncomment5=second\r\n",
       {{u"5", u"A", u"second"}, {u"5", u"B", u"first"}},
       "unit5=B\r\ncomment5=first\r\n"},
      {"hexadecimal keys pair in any letter case",
       "unit0xAb=m\r\ncomment0XaB=c\r\ncomment0xab=later\r\n",
       {{u"171", u"m", u"c"}},
       "unit171=m\r\ncomment171=c\r\n"},
      {"only 256 characters of a key are its number; the comment is found by the whole key",
       "unit" + std::string(300, '0') + "7=long\r\ncomment7=short\r\ncomment" + std::string(300, '0') + "7=whole\r\n",
       {{u"0", u"long", u"whole"}},
       ""},
      {"a \"unit\" past the number's 256 characters becomes \"comment\" too",
       "unit" + std::string(300, '0') + "7UNITx=long\r\ncomment" + std::string(300, '0') + "7UNITx=kept\r\ncomment" +
           std::string(300, '0') + "7commentx=replaced\r\n",
       {{u"0", u"long", u"replaced"}},
       ""},
      {"Japanese text",
       "unit1=機種\r\ncomment1=受付　前\r\n",
       {{u"1", u"機種", u"受付　前"}},
       "unit1=機種\r\ncomment1=受付　前\r\n"},
  };
  for (const TCase& c : cases) {
    WriteWithLicence(c.Lines);
    const std::string stored = ReadIni();
    Load(u"LIC-7");
    EXPECT_EQ(Rows(), c.Rows) << c.What;
    EXPECT_EQ(ReadIni(), stored) << c.What << ": the load writes nothing";
    EXPECT_EQ(Table().State(), model::TDataSetState::Browse) << c.What;
    EXPECT_EQ(Table().ViewRow(), c.Rows.empty() ? -1 : 0) << c.What << ": the first row is current";
    EXPECT_TRUE(Table().Bof()) << c.What;
    Save(u"LIC-7");
    const std::string section = c.Saved.empty() ? "" : "[LIC-7]\r\n" + c.Saved + "\r\n";
    EXPECT_EQ(ReadIni(), cBom + cMainSection + cOther + section) << c.What;
    EXPECT_EQ(Form->CurrentIni(), nullptr);
  }
}

TEST_F(ModelStore, LoadSetsThePresentationAttributes) {
  WriteWithLicence("unit1=A\r\n");
  Load(u"LIC-7");
  const struct {
    platform::TAlignment Alignment;
    int Width;
  } expected[] = {
      {platform::TAlignment::Center, 6}, {platform::TAlignment::Left, 32}, {platform::TAlignment::Left, 32}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Table().Fields(i).Alignment, expected[i].Alignment) << i;
    EXPECT_EQ(Table().Fields(i).DisplayWidth, expected[i].Width) << i;
  }
}

TEST_F(ModelStore, SectionNamesMatchWithoutLetterCaseAndTheEmptyLicenceIsASection) {
  WriteIni(cBom + "[]\r\nunit1=nameless\r\n\r\n[lic-7]\r\nunit2=lower\r\n\r\n" + cOther);
  Load(u"");
  EXPECT_EQ(Rows(), (Rows_t{{u"1", u"nameless", u""}}));
  Load(u"LIC-7");
  EXPECT_EQ(Rows(), (Rows_t{{u"2", u"lower", u""}}));
  Save(u"LIC-7");
  EXPECT_EQ(ReadIni(), cBom + "[]\r\nunit1=nameless\r\n\r\n" + cOther + "[LIC-7]\r\nunit2=lower\r\n\r\n");
  Load(u"");
  Save(u"");
  EXPECT_EQ(ReadIni(), cBom + cOther + "[LIC-7]\r\nunit2=lower\r\n\r\n[]\r\nunit1=nameless\r\n\r\n");
}

TEST_F(ModelStore, MissingFileOrSectionGivesAnEmptyTable) {
  AddRow(u"1", u"left over", u"");
  Load(u"LIC-7");
  EXPECT_TRUE(Rows().empty());
  EXPECT_FALSE(std::filesystem::exists(IniPath())) << "the load creates nothing";
  WriteIni(cBom + cMainSection + cOther);
  Load(u"LIC-7");
  EXPECT_TRUE(Rows().empty());
  Save(u"LIC-7");
  EXPECT_EQ(ReadIni(), cBom + cMainSection + cOther) << "an empty table leaves no section";
}

TEST_F(ModelStore, SaveWritesTheTableInOrderAndSettlesThePendingRow) {
  struct TCase {
    const char* What;
    std::function<void()> Edit;
    std::string Saved;
  };
  auto field = [this](const char16_t* name) -> model::TField& { return Table().FieldByName(name); };
  const TCase cases[] = {
      {"equal numbers: the later model, the later non-empty comment",
       [&] {
         AddRow(u"5", u"A", u"x");
         AddRow(u"5", u"B", u"");
       },
       "unit5=B\r\ncomment5=x\r\n"},
      {"a row without a number is not written",
       [&] {
         AddRow(u"", u"none", u"c");
         AddRow(u"2", u"two", u"");
       },
       "unit2=two\r\n"},
      {"a modified pending row is saved",
       [&] {
         AddRow(u"2", u"two", u"");
         Table().Append();
         field(u"UnitNo").SetAsInteger(1);
         field(u"Model").SetAsString(u"one");
       },
       "unit1=one\r\nunit2=two\r\n"},
      {"an edited row is saved with its change",
       [&] {
         AddRow(u"2", u"two", u"");
         Table().Edit();
         field(u"Comment").SetAsString(u"changed");
       },
       "unit2=two\r\ncomment2=changed\r\n"},
      {"an untouched new row is dropped",
       [&] {
         AddRow(u"2", u"two", u"");
         Table().Insert();
       },
       "unit2=two\r\n"},
      {"blanks around a value are written as they are", [&] { AddRow(u"3", u" padded ", u""); }, "unit3= padded \r\n"},
  };
  for (const TCase& c : cases) {
    WriteWithLicence("unit7=old\r\n");
    Load(u"LIC-7");
    Table().EmptyDataSet();
    c.Edit();
    Save(u"LIC-7");
    EXPECT_EQ(ReadIni(), cBom + cMainSection + cOther + "[LIC-7]\r\n" + c.Saved + "\r\n") << c.What;
    EXPECT_EQ(Table().State(), model::TDataSetState::Browse) << c.What;
    Load(u"LIC-7");
    EXPECT_EQ(Form->CurrentIni(), nullptr);
  }
  EXPECT_EQ(Rows(), (Rows_t{{u"3", u"padded", u""}})) << "the file does not keep a value's outer blanks";
}

TEST_F(ModelStore, ABadUnitKeyEndsTheLoadWithItsText) {
  const std::u16string range = u" は項目 'UnitNo' に適した値ではありません。0 から 65535 の範囲が許されます";
  struct TCase {
    std::string Key;
    std::u16string Error;
  };
  const TCase cases[] = {
      {"unitX", u"''X'' は整数ではありません"},
      {"unit", u"'''' は整数ではありません"},
      {"unit5x", u"''5x'' は整数ではありません"},
      {"unit2147483648", u"''2147483648'' は整数ではありません"},
      {"unit$100000000", u"''$100000000'' は整数ではありません"},
      {"unit70000", u"70000" + range},
      {"unit65536", u"65536" + range},
      {"unit-1", u"-1" + range},
  };
  for (const TCase& c : cases) {
    WriteWithLicence("unit1=A\r\ncomment1=a\r\n" + c.Key + "=B\r\nunit9=C\r\n");
    const std::string stored = ReadIni();
    EXPECT_EQ(LoadError(u"LIC-7"), c.Error) << c.Key;
    EXPECT_EQ(Form->CurrentIni(), nullptr) << c.Key;
    EXPECT_EQ(ReadIni(), stored) << c.Key;
    // The earlier row stays; the new one is pending and untouched.
    EXPECT_EQ(Rows(), (Rows_t{{u"1", u"A", u"a"}, {u"", u"", u""}})) << c.Key;
    EXPECT_EQ(Table().State(), model::TDataSetState::Insert) << c.Key;
    EXPECT_FALSE(Table().Modified()) << c.Key;
    // The error recurs; another licence loads and throws the pending row away.
    EXPECT_EQ(LoadError(u"LIC-7"), c.Error) << c.Key;
    EXPECT_EQ(LoadError(u"OTHER"), u"(no error)") << c.Key;
    EXPECT_EQ(Rows(), (Rows_t{{u"1", u"keep", u""}})) << c.Key;
  }
}

TEST_F(ModelStore, AnUnreadableFileEndsTheLoadAndKeepsTheTable) {
  WriteWithLicence("unit1=A\r\n");
  Load(u"LIC-7");
  Os().FilesImpl.HoldOpen(FromWide(IniPath().string()), platform::standin::TStandInFiles::THold::Writing);
  const std::u16string error = LoadError(u"LIC-7");
  EXPECT_EQ(error.substr(0, error.find(u'。') + 1), u"ファイル " + FromWide(IniPath().string()) + u" は開けません。");
  EXPECT_EQ(Form->CurrentIni(), nullptr);
  EXPECT_EQ(Rows(), (Rows_t{{u"1", u"A", u""}}));
  Os().FilesImpl.ReleaseAll();
}

TEST_F(ModelStore, AFailedSaveLeavesTheFileAsItWas) {
  WriteWithLicence("unit1=A\r\ncomment1=a\r\nunit2=B\r\n");
  const std::string stored = ReadIni();
  auto saveError = [this] {
    try {
      Save(u"LIC-7");
    } catch (const std::exception& error) {
      return platform::FromUtf8(error.what());
    }
    return std::u16string(u"(no error)");
  };

  // The file cannot be rewritten: the flush fails.
  Load(u"LIC-7");
  Os().FilesImpl.HoldOpen(FromWide(IniPath().string()), platform::standin::TStandInFiles::THold::Reading);
  const std::u16string flushError = saveError();
  EXPECT_EQ(flushError.substr(0, flushError.find(u'。') + 1),
            u"ファイル \"" + FromWide(IniPath().string()) + u"\" を作成できません。");
  EXPECT_EQ(Form->CurrentIni(), nullptr);
  Os().FilesImpl.ReleaseAll();
  EXPECT_EQ(ReadIni(), stored);

  // A value that no line can hold stops the save half-way through the rows: nothing is flushed.
  Load(u"LIC-7");
  Table().Last();
  Table().Edit();
  Table().FieldByName(u"Model").SetAsString(u"two\r\nlines");
  EXPECT_NE(saveError(), u"(no error)");
  EXPECT_EQ(Form->CurrentIni(), nullptr);
  EXPECT_EQ(ReadIni(), stored) << "the stored table is not lost";
  Load(u"LIC-7");
  EXPECT_EQ(Rows(), (Rows_t{{u"1", u"A", u"a"}, {u"2", u"B", u""}}));
}
