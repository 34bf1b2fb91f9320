// Start-up, placement, layout and close of the main window on the stand-in backend.
#include "AppFixture.h"

using quorvel_test::cBom;
using quorvel_test::TAppTest;

namespace {

constexpr int cOuterWidth = 457 + 2 * platform::standin::cFrameWidth;
constexpr int cOuterHeight = 147 + platform::standin::cCaptionHeight + 2 * platform::standin::cFrameWidth;
constexpr int cCentredTop = (1080 - cOuterHeight) / 2;
constexpr int cCentredLeft = (1920 - cOuterWidth) / 2;

}  // namespace

class MainWindow : public TAppTest {};

TEST_F(MainWindow, FirstStartWithoutSettingsFile) {
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.Top(), cCentredTop);
  EXPECT_EQ(form.Left(), cCentredLeft);
  EXPECT_EQ(form.Text(), u"Quorvel");
  EXPECT_EQ(form.edtFileName.Text(), u"");
  EXPECT_EQ(form.edtApplication.Text(), u"");
  EXPECT_EQ(form.edtLicense.Text(), u"");
  EXPECT_EQ(form.edtCallsign.Text(), u"");
  EXPECT_FALSE(form.actBrowse.Enabled());
  EXPECT_FALSE(form.btnBrowse.Enabled());
  EXPECT_TRUE(form.actShowModel.Enabled());
  EXPECT_TRUE(form.cbxPDF.Checked());
  EXPECT_EQ(form.PFileName(), u".pdf");
  EXPECT_EQ(form.Focused(), &form.edtFileName);
  EXPECT_FALSE(std::filesystem::exists(IniPath())) << "reading must create nothing";
  EXPECT_TRUE(Os().DialogsImpl.Errors.empty());
}

TEST_F(MainWindow, DerivedPathsComeFromExecutableAndCurrentDirectory) {
  Os().AppImpl.ExePath = u"D:\\tools\\Renamed.v2.exe";
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.GetAppFileName(), u"D:\\tools\\Renamed.v2.exe");
  EXPECT_EQ(form.GetAppName(), u"Renamed.v2");
  EXPECT_EQ(form.GetAppDir(), u"D:\\tools");
  EXPECT_EQ(form.Text(), u"Renamed.v2");
  EXPECT_EQ(form.GetIniFileName(), FromWide((Dir / "Halvorn.ini").string()));
  // A later change of directory does not move the settings file.
  std::filesystem::create_directories(Dir / "elsewhere");
  std::filesystem::current_path(Dir / "elsewhere");
  form.UserClose();
  EXPECT_TRUE(std::filesystem::exists(IniPath()));
  EXPECT_FALSE(std::filesystem::exists(Dir / "elsewhere" / "Halvorn.ini"));
}

TEST_F(MainWindow, PlacementRule) {
  struct TCase {
    std::string Stored;
    int Top;
    int Left;
  };
  const TCase cases[] = {
      {"top=0\r\nleft=0\r\n", 0, 0},
      {"top=120\r\nleft=200\r\n", 120, 200},
      {"top=" + std::to_string(1080 - cOuterHeight) + "\r\nleft=5\r\n", 1080 - cOuterHeight, 5},
      {"top=" + std::to_string(1080 - cOuterHeight + 1) + "\r\nleft=5\r\n", cCentredTop, cCentredLeft},
      {"top=10\r\nleft=" + std::to_string(1920 - cOuterWidth) + "\r\n", 10, 1920 - cOuterWidth},
      {"top=10\r\nleft=" + std::to_string(1920 - cOuterWidth + 1) + "\r\n", cCentredTop, cCentredLeft},
      {"top=10\r\nleft=-1700\r\n", cCentredTop, cCentredLeft},  // a display left of the primary one
      {"top=10\r\nleft=2500\r\n", cCentredTop, cCentredLeft},   // a display right of it
      {"top=-1\r\nleft=10\r\n", cCentredTop, cCentredLeft},
      {"top=2147483647\r\nleft=2147483647\r\n", cCentredTop, cCentredLeft},
      {"top=12px\r\nleft=10\r\n", cCentredTop, cCentredLeft},
      {"top=$10\r\nleft=0x20\r\n", 16, 32},
  };
  for (const TCase& c : cases) {
    WriteIni("[main]\r\n" + c.Stored);
    app::TfrmMain& form = Start();
    EXPECT_EQ(form.Top(), c.Top) << c.Stored;
    EXPECT_EQ(form.Left(), c.Left) << c.Stored;
  }
}

TEST_F(MainWindow, RestoresDocumentAndPdfChoice) {
  WriteIni(cBom +
           "[main]\r\nfilename=D:\\apps\\a.zip\r\nlicense=LIC-7\r\napplication=App one\r\ncallsign=JA1ABC\r\n"
           "PDFOut=0\r\n");
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.DFileName(), u"D:\\apps\\a.zip");
  EXPECT_EQ(form.edtFileName.Text(), u"D:\\apps\\a.zip");
  EXPECT_EQ(form.Text(), u"Quorvel - a.zip");
  EXPECT_TRUE(form.actBrowse.Enabled());
  EXPECT_EQ(form.DLicense(), u"LIC-7");
  EXPECT_EQ(form.edtLicense.Text(), u"LIC-7");
  EXPECT_EQ(form.edtApplication.Text(), u"App one");
  EXPECT_EQ(form.edtCallsign.Text(), u"JA1ABC");
  EXPECT_FALSE(form.cbxPDF.Checked());
  EXPECT_EQ(form.PFileName(), u"D:\\apps\\Quorvel.pdf");
}

TEST_F(MainWindow, StoredPdfChoiceTrueOrMissingLeavesBoxTicked) {
  for (const std::string stored : {"PDFOut=1\r\n", "PDFOut=2\r\n", "PDFOut=false\r\n", ""}) {
    WriteIni("[main]\r\nfilename=D:\\apps\\a.zip\r\n" + stored);
    app::TfrmMain& form = Start();
    EXPECT_TRUE(form.cbxPDF.Checked()) << stored;
    EXPECT_EQ(form.PFileName(), u"D:\\apps\\a.pdf") << stored;
  }
}

TEST_F(MainWindow, LayoutOfControls) {
  app::TfrmMain& form = Start();
  EXPECT_EQ(form.ClientWidth, 457);
  EXPECT_EQ(form.ClientHeight, 147);
  EXPECT_FALSE(form.MaximizeBox);
  EXPECT_TRUE(form.MinimizeBox);
  EXPECT_EQ(form.Border, platform::TForm::TBorder::SingleFixed);
  struct TPlace {
    platform::TControl* Control;
    platform::TRect Bounds;
    int TabOrder;
    std::u16string Text;
  };
  const TPlace places[] = {
      {&form.edtFileName, {72, 14, 300, 21}, 0, u""},         {&form.cbxPDF, {72, 120, 145, 17}, 1, u"Output PDF file"},
      {&form.btnFind, {378, 8, 71, 33}, 2, u"&Refer"},        {&form.btnBrowse, {378, 51, 71, 33}, 3, u"&Browse"},
      {&form.btnModel, {378, 90, 71, 33}, 4, u"&Show Model"}, {&form.edtApplication, {72, 41, 217, 21}, 5, u""},
      {&form.edtLicense, {72, 68, 217, 21}, 6, u""},          {&form.edtCallsign, {72, 95, 217, 21}, 7, u""},
      {&form.lblAbout, {222, 129, 227, 13}, -1, u"Ver. "},  // no version resource on the stand-in
  };
  for (const TPlace& p : places) {
    EXPECT_EQ(p.Control->Bounds, p.Bounds) << p.Control->Name;
    EXPECT_EQ(p.Control->TabOrder, p.TabOrder) << p.Control->Name;
    EXPECT_EQ(p.Control->Text(), p.Text) << p.Control->Name;
    EXPECT_EQ(p.Control->Font.Name, u"Tahoma");
    EXPECT_EQ(p.Control->Font.Height, 11);
  }
  EXPECT_TRUE(form.btnFind.Default);
  EXPECT_FALSE(form.btnBrowse.Default || form.btnModel.Default);
  EXPECT_FALSE(form.edtFileName.ReadOnly);
  for (platform::TEdit* edit : {&form.edtApplication, &form.edtLicense, &form.edtCallsign}) {
    EXPECT_TRUE(edit->ReadOnly) << edit->Name;
    EXPECT_EQ(edit->Color, platform::clBtnFace);
  }
  for (platform::TEdit* edit : {&form.edtFileName, &form.edtApplication, &form.edtLicense, &form.edtCallsign})
    EXPECT_TRUE(edit->ImeOff) << edit->Name;
  EXPECT_EQ(form.lblAbout.Alignment, platform::TAlignment::Right);
  EXPECT_EQ(form.lblAbout.Font.Color, platform::clMaroon);
}

TEST_F(MainWindow, EditLabelsStandLeftOfTheirBoxes) {
  app::TfrmMain& form = Start();
  struct TLabelCase {
    platform::TLabel* Label;
    platform::TEdit* Edit;
    std::u16string Caption;
  };
  const TLabelCase labels[] = {{&form.lblFileName, &form.edtFileName, u"&File name :"},
                               {&form.lblApplication, &form.edtApplication, u"Application :"},
                               {&form.lblLicense, &form.edtLicense, u"License :"},
                               {&form.lblCallsign, &form.edtCallsign, u"Callsign :"}};
  for (const TLabelCase& l : labels) {
    EXPECT_EQ(l.Label->Text(), l.Caption);
    EXPECT_EQ(l.Label->FocusControl, l.Edit);
    EXPECT_EQ(l.Label->Bounds.Left + l.Label->Bounds.Width, l.Edit->Bounds.Left - 3);
    EXPECT_EQ(l.Label->Bounds.Width, Os().WidgetsImpl.TextExtent(l.Label->Font, l.Caption, true).Width)
        << "as wide as its caption";
    EXPECT_EQ(2 * l.Label->Bounds.Top + l.Label->Bounds.Height, 2 * l.Edit->Bounds.Top + l.Edit->Bounds.Height);
    EXPECT_EQ(l.Label->Font.Color, platform::clBlue);
    EXPECT_EQ(l.Label->Alignment, platform::TAlignment::Right);
  }
  EXPECT_EQ(form.AcceleratorTarget(u'f'), &form.edtFileName) << "Alt+F leads into the file-name box";
  EXPECT_EQ(form.AcceleratorTarget(u'F'), &form.edtFileName);
  EXPECT_EQ(form.AcceleratorTarget(u'a'), nullptr) << "the other labels have no accelerator";
}

TEST_F(MainWindow, ActionsMenusAndShortcuts) {
  app::TfrmMain& form = Start();
  struct TActionCase {
    platform::TAction* Action;
    std::u16string Caption;
    char16_t Key;
  };
  const TActionCase actions[] = {{&form.actRefer, u"&Refer", u'R'},
                                 {&form.actBrowse, u"&Browse", u'O'},
                                 {&form.actShowModel, u"&Show Model table", u'S'},
                                 {&form.actExit, u"Exit", u'X'}};
  for (const TActionCase& a : actions) {
    EXPECT_EQ(a.Action->Caption, a.Caption);
    EXPECT_EQ(a.Action->ShortCut, (platform::TShortCut{true, a.Key}));
  }
  EXPECT_EQ(form.btnFind.Action(), &form.actRefer);
  EXPECT_EQ(form.btnBrowse.Action(), &form.actBrowse);
  EXPECT_EQ(form.btnModel.Action(), &form.actShowModel);

  ASSERT_EQ(form.PopupMenu, &form.PopupMenu1);
  const std::vector<platform::TMenuItem>& items = form.PopupMenu1.Items;
  ASSERT_EQ(items.size(), 5u);
  const char* names[] = {"mnuExit", "mnuBar1", "mnuRefer", "mnuOpen", "mnuShowModel"};
  platform::TAction* bound[] = {&form.actExit, nullptr, &form.actRefer, &form.actBrowse, &form.actShowModel};
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].Name, names[i]);
    EXPECT_EQ(items[i].Action(), bound[i]);
  }
  EXPECT_TRUE(items[1].IsSeparator());
  EXPECT_EQ(items[1].Caption(), u"-");

  // Exit has no handler: greyed once the window is up, and its shortcut does nothing.
  form.PopupMenu1.BeforePopup();
  EXPECT_FALSE(form.actExit.Enabled());
  EXPECT_FALSE(items[0].Enabled());
  EXPECT_FALSE(form.ActionManager1.HandleShortCut({true, u'X'}));
  EXPECT_FALSE(form.Closed());
  EXPECT_TRUE(items[2].Enabled());
  EXPECT_FALSE(items[3].Enabled()) << "Browse follows the empty document";

  // Ctrl+R runs Refer: the file-open dialog comes up.
  EXPECT_TRUE(form.ActionManager1.HandleShortCut({true, u'R'}));
  ASSERT_EQ(Os().DialogsImpl.OpenRequests.size(), 1u);
  // A disabled action's shortcut passes the key on.
  EXPECT_FALSE(form.ActionManager1.HandleShortCut({true, u'O'}));
  // A shortcut is its key with exactly its modifiers.
  EXPECT_FALSE(form.ActionManager1.HandleShortCut({true, u'R', true}));
  EXPECT_FALSE(form.ActionManager1.HandleShortCut({true, u'R', false, true}));
  EXPECT_EQ(Os().DialogsImpl.OpenRequests.size(), 1u);
}

TEST_F(MainWindow, FileOpenDialogProperties) {
  app::TfrmMain& form = Start();
  form.actRefer.Execute();
  ASSERT_EQ(Os().DialogsImpl.OpenRequests.size(), 1u);
  const platform::TOpenDialogRequest& request = Os().DialogsImpl.OpenRequests[0];
  EXPECT_EQ(request.Title, u"Select file");
  EXPECT_EQ(request.Filter, u"shinsei file(Zip)|*.zip|shinsei file(XML)|*.xml");
  EXPECT_EQ(request.FilterIndex, 1);
  EXPECT_EQ(request.DefaultExt, u"zip");
  EXPECT_TRUE(request.Resizable);
  EXPECT_TRUE(request.KeepCurrentDir);
}

TEST_F(MainWindow, CloseWritesStateAndKeepsEverythingElse) {
  WriteIni(
      "; written by hand\n[main]\ntop = 120 \nleft=200\nlicense=LIC-7\nfilename=D:\\apps\\a.zip\n"
      "application=App\n[LIC-7]\nunit1=XR-100\n");
  app::TfrmMain& form = Start();
  form.SetTop(130);
  form.SetLeft(210);
  form.cbxPDF.UserClick();
  form.UserClose();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(ReadIni(), cBom +
                           "[main]\r\ntop=130\r\nleft=210\r\nlicense=LIC-7\r\nfilename=D:\\apps\\a.zip\r\n"
                           "application=App\r\nPDFOut=0\r\n\r\n[LIC-7]\r\nunit1=XR-100\r\n\r\n");
  EXPECT_TRUE(Os().DialogsImpl.Errors.empty());
}

TEST_F(MainWindow, CloseCreatesTheFileOnFirstRun) {
  app::TfrmMain& form = Start();
  form.UserClose();
  EXPECT_EQ(ReadIni(), cBom + "[main]\r\ntop=" + std::to_string(cCentredTop) +
                           "\r\nleft=" + std::to_string(cCentredLeft) + "\r\nfilename=\r\nPDFOut=1\r\n\r\n");
}

TEST_F(MainWindow, CloseThatCannotWriteShowsTheErrorAndStillCloses) {
  WriteIni("[main]\r\ntop=1\r\n");
  app::TfrmMain& form = Start();
  Os().FilesImpl.HoldOpen(FromWide(IniPath().string()), platform::standin::TStandInFiles::THold::Reading);
  form.UserClose();
  Os().FilesImpl.ReleaseAll();
  EXPECT_TRUE(form.Closed());
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 1u);
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Title, u"Quorvel");
  std::u16string expected = u"ファイル \"" + FromWide(IniPath().string()) + u"\" を作成できません。";
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Text.substr(0, expected.size()), expected);
  EXPECT_EQ(ReadIni(), "[main]\r\ntop=1\r\n") << "the file stays as it was";
  EXPECT_EQ(form.CurrentIni(), nullptr);
}

// The program's own messages end without a full stop, so the box's "." follows the last word.
TEST_F(MainWindow, OwnSettingsMessagesGetOneFullStopInTheErrorBox) {
  WriteIni("[main]\r\nfilename=caf\xE9\r\n");
  app::TfrmMain& form = Start();
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 1u);
  const std::u16string path = FromWide(IniPath().string());
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Text, u"ファイル " + path + u" は UTF-8 のテキストではないため読み込めません.");

  WriteIni("");
  form.SetDFileName(u"D:\\a\r\nb.zip");
  form.UserClose();
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 2u);
  EXPECT_EQ(Os().DialogsImpl.Errors[1].Text,
            u"ファイル \"" + path + u"\" に改行を含むセクション名、キー名または値は書き込めません.");
}

TEST_F(MainWindow, UnreadableSettingsFileAtStartShowsErrorAndWindowRuns) {
  WriteIni("[main]\r\ntop=1\r\nleft=1\r\nPDFOut=0\r\n");
  Os().FilesImpl.HoldOpen(FromWide(IniPath().string()), platform::standin::TStandInFiles::THold::Writing);
  app::TfrmMain& form = Start();
  Os().FilesImpl.ReleaseAll();
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 1u);
  std::u16string expected = u"ファイル " + FromWide(IniPath().string()) + u" は開けません。 ";
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Text.substr(0, expected.size()), expected);
  // The handler ended at the load: nothing after it ran.
  EXPECT_TRUE(form.cbxPDF.Checked());
  EXPECT_EQ(form.Text(), u"");
  EXPECT_EQ(form.CurrentIni(), nullptr);
  EXPECT_EQ(form.Focused(), &form.edtFileName);
}
