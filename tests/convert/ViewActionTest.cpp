// The view action and the closing of stale viewer windows.
#include "app/AppFixture.h"

using quorvel_test::TAppTest;

class ViewAction : public TAppTest {
 protected:
  // A document with a converter that writes its PDF and the licence.
  app::TfrmMain& StartWithDocument(bool converterWritesPdf = true) {
    WriteFile(Dir / "Halvorn.exe", "stand-in");
    WriteFile(Dir / "a.zip", "doc");
    Os().ShellImpl.OnExecute = [this, converterWritesPdf](const platform::TShellRequest& request) {
      Log.push_back("start " + platform::ToUtf8(request.File));
      if (request.File.find(u"Halvorn.exe") != std::u16string::npos && converterWritesPdf) {
        WriteFile(Dir / "a.pdf", "%PDF");
        WriteIni("[main]\r\nlicense=FROM-RUN\r\ncallsign=CS\r\n");
      }
      return platform::TShellResult{42, 0x55};
    };
    Os().ShellImpl.Requests.clear();
    app::TfrmMain& form = Start();
    form.SetDFileName(FromWide((Dir / "a.zip").string()));
    return form;
  }
  std::vector<std::string> Log;
};

TEST_F(ViewAction, ConvertsOpensTheQuotedPdfComesToFrontAndRereadsTheLicence) {
  app::TfrmMain& form = StartWithDocument();
  form.actBrowse.Execute();
  ASSERT_EQ(Os().ShellImpl.Requests.size(), 2u);
  const platform::TShellRequest& open = Os().ShellImpl.Requests[1];
  EXPECT_EQ(open.File, u"\"" + FromWide((Dir / "a.pdf").string()) + u"\"");
  EXPECT_EQ(open.Parameters, u"");
  EXPECT_EQ(open.Verb, u"");
  EXPECT_EQ(open.Show, 0);
  EXPECT_EQ(Os().WindowsImpl.ZOrderCalls, (std::vector<std::string>{"foreground", "topmost", "notopmost"}));
  EXPECT_EQ(form.DLicense(), u"FROM-RUN");
  EXPECT_EQ(form.edtCallsign.Text(), u"CS");
  EXPECT_TRUE(Os().DialogsImpl.Messages.empty());
  EXPECT_EQ(form.CurrentIni(), nullptr);
}

TEST_F(ViewAction, FailureRows) {
  {
    app::TfrmMain& form = StartWithDocument();
    std::filesystem::remove(Dir / "a.zip");
    form.actBrowse.Execute();
    EXPECT_EQ(Os().DialogsImpl.Messages.back(), u"ファイルが見つかりません");
    EXPECT_TRUE(Os().ShellImpl.Requests.empty());
  }
  {
    app::TfrmMain& form = StartWithDocument(false);
    form.actBrowse.Execute();
    EXPECT_EQ(Os().DialogsImpl.Messages.back(), u"PDFファイルが見つかりません");
    EXPECT_EQ(Os().ShellImpl.Requests.size(), 1u) << "no viewer";
    EXPECT_EQ(form.DLicense(), u"") << "licence not re-read";
  }
  {
    app::TfrmMain& form = StartWithDocument();
    Os().ShellImpl.OnExecute = [this](const platform::TShellRequest& request) {
      if (request.File.find(u"Halvorn.exe") != std::u16string::npos) {
        WriteFile(Dir / "a.pdf", "%PDF");
        return platform::TShellResult{42, 0x55};
      }
      return platform::TShellResult{31, 0};  // no program for .pdf
    };
    Os().WindowsImpl.ZOrderCalls.clear();
    form.actBrowse.Execute();
    EXPECT_EQ(Os().DialogsImpl.Messages.back(), u"起動の失敗");
    EXPECT_TRUE(Os().WindowsImpl.ZOrderCalls.empty()) << "window not brought forward";
  }
  {
    // A PDF left from an earlier run passes the check.
    app::TfrmMain& form = StartWithDocument(false);
    WriteFile(Dir / "a.pdf", "%PDF old");
    Os().DialogsImpl.Messages.clear();
    form.actBrowse.Execute();
    EXPECT_TRUE(Os().DialogsImpl.Messages.empty());
    EXPECT_EQ(Os().ShellImpl.Requests.size(), 2u);
  }
}

TEST_F(ViewAction, ClosingStepRunsFirstEvenWhenTheDocumentIsMissing) {
  app::TfrmMain& form = Start();
  form.SetDFileName(u"D:\\old.zip");
  form.SetDFileName(u"D:\\missing.zip");
  Os().WindowsImpl.TopLevel = {{0x501, u"old.pdf - Viewer"}};
  form.actBrowse.Execute();
  EXPECT_EQ(Os().WindowsImpl.Posted, std::vector<platform::THandle>{0x501});
  EXPECT_EQ(Os().DialogsImpl.Messages.back(), u"ファイルが見つかりません");
}

TEST_F(ViewAction, ClosingRule) {
  app::TfrmMain& form = Start();
  // Nothing is closed while the previous PDF path is empty.
  Os().WindowsImpl.TopLevel = {{0x1, u""}, {0x2, u"anything"}};
  form.actBrowse.SetEnabled(true);
  form.actBrowse.Execute();
  EXPECT_TRUE(Os().WindowsImpl.Posted.empty());

  form.SetDFileName(u"D:\\docs\\report.zip");
  form.SetDFileName(u"D:\\docs\\next.zip");
  ASSERT_EQ(form.GetExPFileName(), u"D:\\docs\\report.pdf");
  std::u16string longPrefix(95, u'x');
  Os().WindowsImpl.TopLevel = {
      {0x10, u"report.pdf - Viewer"},
      {0x11, u"Viewer: report.pdf (2)"},                 // several matches: all asked
      {0x12, u"REPORT.PDF - Viewer"},                    // other letter case: kept
      {0x13, u"report.pdf - Quorvel"},                   // the program's own name: spared
      {0x14, longPrefix + u"report.pdf"},                // beyond the 99 characters read
      {0x15, std::u16string(89, u'y') + u"report.pdf"},  // exactly 99: found
      {0x16, u"unrelated"},
  };
  Os().WindowsImpl.OwnWindows = [&] {
    return std::vector<platform::standin::TStandInWindows::TWindow>{{form.Handle(), form.Text()}};
  };
  form.actBrowse.Execute();
  EXPECT_EQ(Os().WindowsImpl.Posted, (std::vector<platform::THandle>{0x10, 0x11, 0x15}));
}

TEST_F(ViewAction, FixedPdfNameHoldingTheProgramNameClosesNothing) {
  app::TfrmMain& form = Start();
  form.cbxPDF.SetChecked(false);
  form.SetDFileName(u"D:\\a.zip");
  form.SetDFileName(u"D:\\b.zip");
  ASSERT_EQ(form.GetExPFileName(), u"D:\\Quorvel.pdf");
  Os().WindowsImpl.TopLevel = {{0x20, u"Quorvel.pdf - Viewer"}};
  form.actBrowse.Execute();
  EXPECT_TRUE(Os().WindowsImpl.Posted.empty());
}

TEST_F(ViewAction, SameDocumentViewedTwiceKeepsItsViewer) {
  app::TfrmMain& form = StartWithDocument();
  std::u16string document = form.DFileName();
  form.SetDFileName(u"D:\\before.zip");
  form.SetDFileName(document);
  form.actBrowse.Execute();
  Os().WindowsImpl.TopLevel = {{0x30, u"a.pdf - Viewer"}};
  form.actBrowse.Execute();
  EXPECT_TRUE(Os().WindowsImpl.Posted.empty());
}

TEST_F(ViewAction, CloseAsksTheCurrentPdfsViewersToClose) {
  app::TfrmMain& form = Start();
  form.SetDFileName(u"D:\\a.zip");
  Os().WindowsImpl.TopLevel = {{0x40, u"a.pdf - Viewer"}, {0x41, u".pdf"}};
  form.UserClose();
  EXPECT_EQ(Os().WindowsImpl.Posted, std::vector<platform::THandle>{0x40});
  EXPECT_EQ(form.GetExPFileName(), u"D:\\a.pdf");
}

// Without a document the PDF path is ".pdf" (or "Quorvel.pdf"), found in every PDF viewer's
// title: it names no viewer, at the first view after a fresh start and at a close.
TEST_F(ViewAction, APdfPathFromNoDocumentClosesNoViewer) {
  app::TfrmMain& form = Start();
  ASSERT_EQ(form.PFileName(), u".pdf");
  form.SetDFileName(u"D:\\missing.zip");
  ASSERT_EQ(form.GetExPFileName(), u".pdf");
  Os().WindowsImpl.TopLevel = {{0x50, u"notes.pdf - Viewer"}, {0x51, u".pdf"}};
  form.actBrowse.Execute();
  EXPECT_TRUE(Os().WindowsImpl.Posted.empty());

  form.SetDFileName(u"");
  form.UserClose();
  ASSERT_EQ(form.GetExPFileName(), u".pdf");
  EXPECT_TRUE(Os().WindowsImpl.Posted.empty());
}
