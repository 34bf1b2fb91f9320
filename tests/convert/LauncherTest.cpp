// Starting programs through the shell and waiting for them, with nested actions in the wait.
#include "app/AppFixture.h"

using quorvel_test::TAppTest;

class Launcher : public TAppTest {};

TEST_F(Launcher, RequestRecordAsTheShellIsGivenIt) {
  app::TfrmMain& form = Start();
  std::uint32_t result = app::RunExeFile(form.Handle(), u"C:\\with blank\\x.exe", u"", u"");
  ASSERT_EQ(Os().ShellImpl.Requests.size(), 1u);
  const platform::TShellRequest& r = Os().ShellImpl.Requests[0];
  EXPECT_EQ(r.Mask, 0x540u);
  EXPECT_EQ(r.Wnd, form.Handle());
  EXPECT_EQ(r.Verb, u"");
  EXPECT_EQ(r.File, u"C:\\with blank\\x.exe");
  EXPECT_EQ(r.Parameters, u"");
  EXPECT_EQ(r.Show, 0);
  EXPECT_EQ(result, 42u);
}

TEST_F(Launcher, WaitsInFiftyMillisecondSlicesDispatchingAfterEach) {
  app::TfrmMain& form = Start();
  int slices = 0;
  std::vector<int> dispatchedAfter;
  Os().ShellImpl.OnWait = [&](platform::THandle, std::uint32_t) { return ++slices < 4 ? platform::cWaitTimeout : 0u; };
  Os().AppImpl.OnProcessMessages = [&] { dispatchedAfter.push_back(slices); };
  app::RunExeFile(form.Handle(), u"x.exe", u"", u"");
  ASSERT_EQ(Os().ShellImpl.Waits.size(), 4u);
  for (const auto& wait : Os().ShellImpl.Waits) EXPECT_EQ(wait.second, 50u);
  EXPECT_EQ(dispatchedAfter, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Os().ShellImpl.ClosedHandles, std::vector<platform::THandle>{Os().ShellImpl.Waits[0].first});
}

TEST_F(Launcher, FailedWaitEndsTheLoopAndStillCountsAsStarted) {
  app::TfrmMain& form = Start();
  // The shell handed the file to a running program: no process handle came back.
  Os().ShellImpl.OnExecute = [](const platform::TShellRequest&) { return platform::TShellResult{42, 0}; };
  EXPECT_EQ(app::RunExeFile(form.Handle(), u"x.pdf", u"", u""), 42u);
  EXPECT_EQ(Os().ShellImpl.Waits.size(), 1u);
  EXPECT_EQ(Os().AppImpl.ProcessMessagesCalls, 1);
  EXPECT_TRUE(Os().ShellImpl.ClosedHandles.empty());
}

TEST_F(Launcher, RefusedStartHasNoWaitAndNothingToClose) {
  app::TfrmMain& form = Start();
  for (std::uint32_t code : {0u, 2u, 31u, 32u}) {
    Os().ShellImpl.OnExecute = [code](const platform::TShellRequest&) { return platform::TShellResult{code, 0x99}; };
    EXPECT_EQ(app::RunExeFile(form.Handle(), u"x.exe", u"", u""), code);
  }
  EXPECT_TRUE(Os().ShellImpl.Waits.empty());
  EXPECT_TRUE(Os().ShellImpl.ClosedHandles.empty());
  // Compared unsigned: a value with the top bit set is a start.
  Os().ShellImpl.OnExecute = [](const platform::TShellRequest&) { return platform::TShellResult{0x80000000u, 0x99}; };
  EXPECT_EQ(app::RunExeFile(form.Handle(), u"x.exe", u"", u""), 0x80000000u);
  EXPECT_EQ(Os().ShellImpl.ClosedHandles.size(), 1u);
}

TEST_F(Launcher, ConverterIsLookedUpInTheCurrentDirectoryAtEachRun) {
  std::filesystem::create_directories(Dir / "second");
  WriteFile(Dir / "second" / "Halvorn.exe", "stand-in");
  Os().AppImpl.ExePath = FromWide((Dir / "Quorvel.exe").string());
  WriteFile(Dir / "Halvorn.exe.txt", "not it");
  app::TfrmMain& form = Start();
  form.SetDFileName(u"D:\\my docs\\a b.zip");
  form.actBrowse.Execute();  // the document does not exist: no run
  EXPECT_TRUE(Os().ShellImpl.Requests.empty());

  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\my docs\\a b.zip";
    return true;
  };
  form.actRefer.Execute();
  EXPECT_EQ(Os().DialogsImpl.Messages.back(), u"実行ファイルが見つかりません");
  EXPECT_TRUE(Os().ShellImpl.Requests.empty());

  std::filesystem::current_path(Dir / "second");
  form.actRefer.Execute();
  ASSERT_EQ(Os().ShellImpl.Requests.size(), 1u);
  EXPECT_EQ(Os().ShellImpl.Requests[0].File, FromWide((Dir / "second" / "Halvorn.exe").string()));
  EXPECT_EQ(Os().ShellImpl.Requests[0].Parameters, u"\"D:\\my docs\\a b.zip\" -o \"D:\\my docs\\a b.pdf\" -b");
}

TEST_F(Launcher, RefusedConverterStartShowsItsMessage) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  Os().ShellImpl.OnExecute = [](const platform::TShellRequest&) { return platform::TShellResult{5, 0}; };
  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\a.zip";
    return true;
  };
  WriteIni("[main]\r\nlicense=L\r\n");
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  EXPECT_EQ(Os().DialogsImpl.Messages, std::vector<std::u16string>{u"起動の失敗"});
  EXPECT_EQ(form.DLicense(), u"") << "no licence after a failed start";
}

TEST_F(Launcher, ActionsRunNestedInsideTheWaitEachWithItsOwnSettingsObject) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  WriteIni("[main]\r\nlicense=BEFORE\r\n");
  Os().DialogsImpl.OnOpenFile = [](const platform::TOpenDialogRequest&, std::u16string& chosen) {
    chosen = u"D:\\a.zip";
    return true;
  };
  app::TfrmMain& form = Start();
  settings::TMemIniFile* outer = nullptr;
  std::vector<settings::TMemIniFile*> inner;
  int slices = 0;
  Os().ShellImpl.OnWait = [&](platform::THandle, std::uint32_t) { return ++slices < 3 ? platform::cWaitTimeout : 0u; };
  Os().AppImpl.OnProcessMessages = [&] {
    if (!outer) outer = form.CurrentIni();
    // The user types and ticks the box while the converter runs.
    form.edtFileName.UserChanged(form.edtFileName.Text() + u"x");
    form.cbxPDF.UserClick();
    inner.push_back(form.CurrentIni());
  };
  form.actRefer.Execute();
  ASSERT_NE(outer, nullptr) << "the Refer action holds its object during the wait";
  for (settings::TMemIniFile* seen : inner) EXPECT_EQ(seen, outer) << "an inner operation handed Ini back";
  EXPECT_EQ(form.CurrentIni(), nullptr);
  EXPECT_EQ(form.DFileName(), u"D:\\a.zipxxx");
  EXPECT_EQ(form.DLicense(), u"BEFORE") << "applied to whatever document is current by then";
}

TEST_F(Launcher, ClosingTheWindowInsideTheWaitLetsTheActionFinish) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  WriteFile(Dir / "a.zip", "doc");
  Os().ShellImpl.OnExecute = [this](const platform::TShellRequest& request) {
    if (request.File.find(u"Halvorn.exe") != std::u16string::npos) WriteFile(Dir / "a.pdf", "%PDF");
    return platform::TShellResult{42, 0x55};
  };
  app::TfrmMain& form = Start();
  form.SetDFileName(FromWide((Dir / "a.zip").string()));
  int slices = 0;
  Os().ShellImpl.OnWait = [&](platform::THandle, std::uint32_t) { return ++slices < 3 ? platform::cWaitTimeout : 0u; };
  Os().AppImpl.OnProcessMessages = [&] {
    if (slices == 1) {
      form.UserClose();
      Os().AppImpl.Terminate();
    }
  };
  form.actBrowse.Execute();
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(Os().AppImpl.Terminated());
  EXPECT_EQ(Os().ShellImpl.Requests.size(), 2u) << "the interrupted view still opened the PDF";
  EXPECT_EQ(Os().ShellImpl.ClosedHandles.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(IniPath())) << "the close handler wrote the settings file";
  EXPECT_EQ(form.CurrentIni(), nullptr);
}
