// The document setter, the licence setter, the PDF path rule, typing and the Refer action.
#include "app/AppFixture.h"

using quorvel_test::cBom;
using quorvel_test::TAppTest;

class Document : public TAppTest {
 protected:
  void Type(app::TfrmMain& form, const std::u16string& text) {
    for (char16_t c : text) form.edtFileName.UserChanged(form.edtFileName.Text() + c);
  }
};

TEST_F(Document, PdfPathRuleForBothTickStates) {
  struct TCase {
    std::u16string Document;
    std::u16string Ticked;
    std::u16string Unticked;
  };
  const TCase cases[] = {
      {u"", u".pdf", u"Quorvel.pdf"},
      {u"D:\\apps\\a.zip", u"D:\\apps\\a.pdf", u"D:\\apps\\Quorvel.pdf"},
      {u"D:\\data.old\\doc", u"D:\\data.old\\doc.pdf", u"D:\\data.old\\Quorvel.pdf"},
      {u"a.tar.zip", u"a.tar.pdf", u"Quorvel.pdf"},
      {u"a.zip", u"a.pdf", u"Quorvel.pdf"},
  };
  app::TfrmMain& form = Start();
  for (const TCase& c : cases) {
    form.cbxPDF.SetChecked(true);
    form.SetDFileName(c.Document);
    EXPECT_EQ(form.PFileName(), c.Ticked);
    form.cbxPDF.SetChecked(false);
    EXPECT_EQ(form.PFileName(), c.Unticked);
    form.SetDFileName(c.Document);
    EXPECT_EQ(form.PFileName(), c.Unticked);
  }
}

TEST_F(Document, CaptionBrowseAndBoxFollowTheDocument) {
  app::TfrmMain& form = Start();
  form.SetDFileName(u"D:\\apps\\a.zip");
  EXPECT_EQ(form.Text(), u"Quorvel - a.zip");
  EXPECT_EQ(form.edtFileName.Text(), u"D:\\apps\\a.zip");
  EXPECT_TRUE(form.actBrowse.Enabled());
  EXPECT_TRUE(form.btnBrowse.Enabled());
  form.edtFileName.UserChanged(u"");
  EXPECT_EQ(form.DFileName(), u"");
  EXPECT_EQ(form.Text(), u"Quorvel");
  EXPECT_FALSE(form.actBrowse.Enabled());
}

TEST_F(Document, TypingRunsTheSetterPerKeystroke) {
  app::TfrmMain& form = Start();
  Type(form, u"D:\\x.zip");
  EXPECT_EQ(form.DFileName(), u"D:\\x.zip");
  EXPECT_EQ(form.PFileName(), u"D:\\x.pdf");
  // The PDF path of "D:\x.zi" moved into the previous path at the last keystroke.
  EXPECT_EQ(form.GetExPFileName(), u"D:\\x.pdf");
  EXPECT_EQ(form.Text(), u"Quorvel - x.zip");
  EXPECT_EQ(form.CurrentIni(), nullptr);
}

TEST_F(Document, PreviousPdfPathMovesUnlessTheNewPathEqualsTheCurrentPdf) {
  app::TfrmMain& form = Start();
  form.SetDFileName(u"D:\\a.zip");
  EXPECT_EQ(form.GetExPFileName(), u".pdf");
  form.SetDFileName(u"D:\\b.zip");
  EXPECT_EQ(form.GetExPFileName(), u"D:\\a.pdf");
  // A document path equal to the current PDF path leaves the previous one.
  form.SetDFileName(u"D:\\b.pdf");
  EXPECT_EQ(form.GetExPFileName(), u"D:\\a.pdf");
  // Toggling the box changes only the current PDF path.
  form.cbxPDF.UserClick();
  EXPECT_EQ(form.PFileName(), u"D:\\Quorvel.pdf");
  EXPECT_EQ(form.GetExPFileName(), u"D:\\a.pdf");
  EXPECT_EQ(form.Text(), u"Quorvel - b.pdf");
}

TEST_F(Document, LicenceTakenOnlyForTheDescribedDocumentExactly) {
  WriteIni("[main]\r\nfilename=D:\\apps\\a.zip\r\nlicense=LIC-7\r\napplication=App\r\ncallsign=CS\r\n");
  app::TfrmMain& form = Start();
  ASSERT_EQ(form.DLicense(), u"LIC-7");
  // Another document: the boxes empty, but the licence and Show Model stay.
  form.SetDFileName(u"D:\\apps\\b.zip");
  EXPECT_EQ(form.edtLicense.Text(), u"");
  EXPECT_EQ(form.edtApplication.Text(), u"");
  EXPECT_EQ(form.edtCallsign.Text(), u"");
  EXPECT_EQ(form.DLicense(), u"LIC-7");
  EXPECT_TRUE(form.actShowModel.Enabled());
  // Letter case counts.
  form.SetDFileName(u"D:\\APPS\\a.zip");
  EXPECT_EQ(form.edtLicense.Text(), u"");
  form.SetDFileName(u"D:\\apps\\a.zip");
  EXPECT_EQ(form.edtLicense.Text(), u"LIC-7");
  EXPECT_EQ(form.edtApplication.Text(), u"App");
}

TEST_F(Document, EmptyLicenceDisablesShowModel) {
  WriteIni("[main]\r\nfilename=D:\\a.zip\r\nlicense=\r\napplication=App\r\n");
  app::TfrmMain& form = Start();
  EXPECT_FALSE(form.actShowModel.Enabled());
  EXPECT_FALSE(form.btnModel.Enabled());
  EXPECT_EQ(form.edtApplication.Text(), u"App");
  form.SetDLicense(u"L2");
  EXPECT_TRUE(form.btnModel.Enabled());
}

TEST_F(Document, ReferCancelledChangesNothing) {
  WriteIni("[main]\r\nfilename=D:\\apps\\a.zip\r\n");
  app::TfrmMain& form = Start();
  std::u16string ex = form.GetExPFileName();
  form.actRefer.Execute();
  ASSERT_EQ(Os().DialogsImpl.OpenRequests.size(), 1u);
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[0].InitialDir, u"D:\\apps");
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[0].FileName, u"a.zip");
  EXPECT_EQ(form.DFileName(), u"D:\\apps\\a.zip");
  EXPECT_EQ(form.GetExPFileName(), ex);
  EXPECT_TRUE(Os().ShellImpl.Requests.empty());
}

TEST_F(Document, ReferDialogStartsInProgramFolderOrDriveRoot) {
  Os().AppImpl.ExePath = u"E:\\Quorvel.exe";
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  form.SetDFileName(u"C:\\a.zip");
  form.actRefer.Execute();
  ASSERT_EQ(Os().DialogsImpl.OpenRequests.size(), 2u);
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[0].InitialDir, u"E:\\");
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[0].FileName, u"");
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[1].InitialDir, u"C:\\");
  EXPECT_EQ(Os().DialogsImpl.OpenRequests[1].FileName, u"a.zip");
}

TEST_F(Document, ReferRunsTheConverterAndTakesTheLicenceFromBeforeTheRun) {
  WriteIni("[main]\r\nlicense=OLD\r\napplication=old app\r\n");
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\apps\\a.zip";
    return true;
  };
  // The converter writes the file while it runs.
  Os().ShellImpl.OnExecute = [this](const platform::TShellRequest&) {
    WriteIni("[main]\r\nfilename=D:\\apps\\a.zip\r\nlicense=NEW\r\napplication=new app\r\ncallsign=CS\r\n");
    return platform::TShellResult{42, 0x77};
  };
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  ASSERT_EQ(Os().ShellImpl.Requests.size(), 1u);
  EXPECT_EQ(Os().ShellImpl.Requests[0].Parameters, u"\"D:\\apps\\a.zip\" -o \"D:\\apps\\a.pdf\" -b");
  EXPECT_EQ(form.DLicense(), u"OLD");
  EXPECT_EQ(form.edtApplication.Text(), u"new app");
  EXPECT_EQ(form.edtCallsign.Text(), u"CS");
  EXPECT_EQ(form.CurrentIni(), nullptr);
}

TEST_F(Document, ReferWithMissingConverterKeepsTheDocumentAndReadsNoLicence) {
  WriteIni("[main]\r\nlicense=L\r\n");
  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\b.xml";
    return true;
  };
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  EXPECT_EQ(form.DFileName(), u"D:\\b.xml");
  EXPECT_EQ(Os().DialogsImpl.Messages, std::vector<std::u16string>{u"実行ファイルが見つかりません"});
  EXPECT_EQ(form.DLicense(), u"");
  EXPECT_TRUE(Os().ShellImpl.Requests.empty());
}

TEST_F(Document, ChoosingTheSameDocumentAgainRerunsAndMovesThePdfPath) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\a.zip";
    return true;
  };
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  form.actRefer.Execute();
  EXPECT_EQ(Os().ShellImpl.Requests.size(), 2u);
  EXPECT_EQ(form.GetExPFileName(), u"D:\\a.pdf");
}

// Windows' open dialog may move the current directory to the chosen file's folder, where a
// converter of someone else's may lie; whatever the dialog did, the directory comes back.
TEST_F(Document, ADialogThatMovesTheCurrentDirectoryLeavesItWhereItWas) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  const std::filesystem::path downloads = Dir / "downloads";
  std::filesystem::create_directories(downloads);
  WriteFile(downloads / "Halvorn.exe", "someone else's");
  const std::u16string document = FromWide((downloads / "a.zip").string());
  bool choose = true;
  Os().DialogsImpl.OnOpenFile = [&](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    std::filesystem::current_path(downloads);
    if (!choose) return false;
    chosen = document;
    return true;
  };
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  EXPECT_EQ(std::filesystem::current_path(), Dir);
  ASSERT_EQ(Os().ShellImpl.Requests.size(), 1u);
  EXPECT_EQ(Os().ShellImpl.Requests[0].File, FromWide((Dir / "Halvorn.exe").string()));

  choose = false;  // cancelled
  form.actRefer.Execute();
  EXPECT_EQ(std::filesystem::current_path(), Dir);
  EXPECT_EQ(Os().ShellImpl.Requests.size(), 1u);
}
