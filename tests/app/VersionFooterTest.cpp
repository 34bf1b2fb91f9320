// The footer: its text rule and how the creation handler fills it from the executable.
#include "AppFixture.h"
#include "VersionBlockBuilder.h"

using quorvel_test::StringFileInfo;
using quorvel_test::StringTable;
using quorvel_test::TAppTest;
using quorvel_test::TextValue;
using quorvel_test::TVerNode;
using quorvel_test::VarFileInfo;
using quorvel_test::VersionInfo;

class VersionFooter : public TAppTest {
 protected:
  void InstallForExe(const TVerNode& block) { Os().AppImpl.VersionBlocks[Os().AppImpl.ExePath] = block.Bytes(); }
  static TVerNode WithStrings(std::vector<TVerNode> values) {
    return VersionInfo(
        {StringFileInfo({StringTable(u"040904E4", std::move(values))}), VarFileInfo({{0x0409, 0x04E4}})});
  }
};

TEST_F(VersionFooter, TextRule) {
  struct TCase {
    std::u16string Version;
    std::u16string Company;
    std::u16string Footer;
  };
  const TCase cases[] = {
      {u"2.0.4.0", u"Quorvel Project", u"Ver. 2.0.4.0(Quorvel Project)"},
      {u"2.0.4.0", u"", u"Ver. 2.0.4.0"},
      {u"", u"Quorvel Project", u"Ver. (Quorvel Project)"},
      {u"", u"", u"Ver. "},
  };
  app::TfrmMain& form = Start();
  for (const TCase& c : cases) {
    form.SetAppVersion(c.Version);
    form.SetCompanyName(c.Company);
    EXPECT_EQ(form.lblAbout.Text(), c.Footer);
    EXPECT_EQ(form.AppVersion(), c.Version);
    EXPECT_EQ(form.CompanyName(), c.Company);
  }
}

TEST_F(VersionFooter, NewVersionAloneLeavesTheFooter) {
  app::TfrmMain& form = Start();
  form.SetAppVersion(u"1.0");
  form.SetCompanyName(u"A");
  form.SetAppVersion(u"9.9");
  EXPECT_EQ(form.lblAbout.Text(), u"Ver. 1.0(A)");
  form.SetCompanyName(u"A");
  EXPECT_EQ(form.lblAbout.Text(), u"Ver. 9.9(A)");
}

TEST_F(VersionFooter, StartShowsTheExecutablesVersionAndCompany) {
  struct TCase {
    std::string Name;
    std::vector<TVerNode> Values;
    std::u16string Footer;
  };
  const TCase cases[] = {
      {"both",
       {TextValue(u"CompanyName", u"Quorvel Project"), TextValue(u"FileVersion", u"2.0.4.0")},
       u"Ver. 2.0.4.0(Quorvel Project)"},
      {"no company name", {TextValue(u"FileVersion", u"2.0.4.0")}, u"Ver. 2.0.4.0"},
      {"no file version", {TextValue(u"CompanyName", u"Quorvel Project")}, u"Ver. (Quorvel Project)"},
  };
  for (const TCase& c : cases) {
    InstallForExe(WithStrings(c.Values));
    app::TfrmMain& form = Start();
    EXPECT_EQ(form.lblAbout.Text(), c.Footer) << c.Name;
    EXPECT_TRUE(Os().DialogsImpl.Errors.empty()) << c.Name;
  }
}

TEST_F(VersionFooter, ExecutableWithoutVersionResource) {
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.lblAbout.Text(), u"Ver. ");
  EXPECT_TRUE(Os().DialogsImpl.Errors.empty());
}

TEST_F(VersionFooter, NoTranslationTableShowsTheErrorAndKeepsTheInitialFooter) {
  InstallForExe(VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"2.0.4.0")})})}));
  WriteIni("[main]\r\nfilename=D:\\apps\\a.zip\r\nPDFOut=0\r\n");
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.lblAbout.Text(), u"lblAbout");
  EXPECT_EQ(form.AppVersion(), u"");
  EXPECT_EQ(form.CompanyName(), u"");
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 1u);
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Title, u"Quorvel");
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Text, u"情報の取得に失敗しました.");
  // The steps before the footer have run; the window is shown and works on.
  EXPECT_EQ(form.Text(), u"Quorvel - a.zip");
  EXPECT_FALSE(form.cbxPDF.Checked());
  EXPECT_EQ(form.CurrentIni(), nullptr);
  form.edtFileName.SetText(u"D:\\apps\\b.xml");
  EXPECT_EQ(form.Text(), u"Quorvel - b.xml");
}
