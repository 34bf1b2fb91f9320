// Show Model table on the stand-in backend: the dialog's layout, Ok and Cancel, and the
// failures of the load and the save.
#include "ModelFixture.h"
#include "model/uModel.h"

using platform::TKey;
using platform::TRect;
using quorvel_test::cBom;
using quorvel_test::TRow;

namespace {

const std::string cMain = "[main]\r\nfilename=C:\\docs\\a.zip\r\nlicense=LIC-7\r\n\r\n";
const std::string cLicence = "[LIC-7]\r\nunit1=A\r\ncomment1=a\r\nunit2=B\r\n\r\n";
const std::string cOther = "[OTHER]\r\nunit1=keep\r\n\r\n";

}  // namespace

class ModelDialog : public quorvel_test::TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    WriteIni(cBom + cMain + cLicence + cOther);
  }
  // Runs the action; `user` acts in the shown dialog. False when no dialog was shown.
  bool ShowModel(const std::function<void(model::TfrmModel&)>& user) {
    bool shown = false;
    Os().WidgetsImpl.OnShowModal = [&](platform::TForm& form) {
      shown = true;
      auto& dialog = dynamic_cast<model::TfrmModel&>(form);
      EXPECT_EQ(Os().WidgetsImpl.Forms.size(), 2u);
      user(dialog);
    };
    Form->actShowModel.Execute();
    Os().WidgetsImpl.OnShowModal = nullptr;
    EXPECT_EQ(Os().WidgetsImpl.Forms.size(), 1u) << "the dialog is freed";
    EXPECT_EQ(Form->CurrentIni(), nullptr);
    return shown;
  }
};

TEST_F(ModelDialog, LayoutAndCreation) {
  Start();
  ASSERT_EQ(Form->DLicense(), u"LIC-7");
  const bool shown = ShowModel([this](model::TfrmModel& d) {
    EXPECT_EQ(d.Text(), u"Model Table");
    EXPECT_EQ(d.Owner, Form.get());
    EXPECT_EQ(d.ClientWidth, 471);
    EXPECT_EQ(d.ClientHeight, 220);
    EXPECT_EQ(d.Left(), (1920 - 471 - 2 * platform::standin::cFrameWidth) / 2);
    EXPECT_EQ(d.Top(), (1080 - 220 - platform::standin::cCaptionHeight - 2 * platform::standin::cFrameWidth) / 2);
    EXPECT_EQ(d.Border, platform::TForm::TBorder::Sizeable);
    EXPECT_FALSE(d.SystemMenu || d.MinimizeBox || d.MaximizeBox);
    struct TExpect {
      platform::TControl* Control;
      TRect Bounds;  // in the dialog's client area
      std::u16string Text;
      int TabOrder;
    };
    const TExpect controls[] = {
        {&d.Panel1, {0, 0, 471, 49}, u"", -1},         {&d.edtLicense, {56, 13, 121, 21}, u"LIC-7", 3},
        {&d.btnOk, {282, 9, 72, 34}, u"Ok", 1},        {&d.Button1, {369, 9, 72, 34}, u"Cancel", 2},
        {&d.DBGrid1, {0, 49, 471, 137}, u"", 0},       {&d.Panel2, {0, 186, 471, 34}, u"", -1},
        {&d.DBNavigator1, {8, 188, 450, 29}, u"", -1},
    };
    for (const TExpect& e : controls) {
      EXPECT_EQ(e.Control->FormBounds(), e.Bounds) << e.Control->Name;
      EXPECT_EQ(e.Control->Text(), e.Text) << e.Control->Name;
      EXPECT_EQ(e.Control->TabOrder, e.TabOrder) << e.Control->Name;
      EXPECT_EQ(e.Control->Font.Name, u"Tahoma") << e.Control->Name;
      EXPECT_EQ(e.Control->Font.Height, 11) << e.Control->Name;
      EXPECT_NE(e.Control->Handle(), 0u) << e.Control->Name;
    }
    EXPECT_EQ(d.edtLicense.Parent(), &d.Panel1);
    EXPECT_EQ(d.btnOk.Parent(), &d.Panel1);
    EXPECT_EQ(d.DBNavigator1.Parent(), &d.Panel2);
    EXPECT_TRUE(d.edtLicense.ReadOnly);
    EXPECT_TRUE(d.edtLicense.ImeOff);
    EXPECT_EQ(d.edtLicense.Color, platform::clBtnFace);
    EXPECT_EQ(d.lblLicense.FocusControl, &d.edtLicense) << "the label leads to the licence box";
    EXPECT_EQ(d.lblLicense.Text(), u"License :");
    EXPECT_EQ(d.lblLicense.Font.Color, platform::clBlue);
    EXPECT_LE(d.lblLicense.FormBounds().Left + d.lblLicense.FormBounds().Width, 56)
        << "the label stands to the box's left";
    EXPECT_FALSE(d.btnOk.Default);
    EXPECT_FALSE(d.Button1.Default);
    EXPECT_EQ(d.Focused(), &d.DBGrid1);
    EXPECT_EQ(d.DBGrid1.RowCount(), 2);
    EXPECT_EQ(d.DBGrid1.Row(), 0);

    // The grid takes up a change of size; the panels keep their heights and their controls their places.
    d.UserResized(600, 300);
    EXPECT_EQ(d.DBGrid1.FormBounds(), (TRect{0, 49, 600, 217}));
    EXPECT_EQ(d.Panel1.FormBounds(), (TRect{0, 0, 600, 49}));
    EXPECT_EQ(d.Panel2.FormBounds(), (TRect{0, 266, 600, 34}));
    EXPECT_EQ(d.DBNavigator1.FormBounds(), (TRect{8, 268, 450, 29}));
    EXPECT_EQ(d.btnOk.FormBounds(), (TRect{282, 9, 72, 34}));
    d.Button1.UserClick();
  });
  EXPECT_TRUE(shown);
}

TEST_F(ModelDialog, OkWritesTheSectionToTheEndOfTheFile) {
  Start();
  EXPECT_TRUE(ShowModel([](model::TfrmModel& d) {
    model::TModelGrid& grid = d.DBGrid1;
    grid.UserKeyDown(TKey::Down, {});
    grid.UserKeyDown(TKey::Down, {});  // a new row at the end
    grid.UserChar(u'7');
    grid.UserKeyDown(TKey::Tab, {});
    grid.UserEditChanged(u"機種");
    grid.UserKeyDown(TKey::Tab, {});
    grid.UserEditChanged(u"new comment");  // still in the cell when Ok is pressed
    d.btnOk.UserClick();
    EXPECT_EQ(d.ModalResult, 1);
  }));
  EXPECT_EQ(ReadIni(), cBom + cMain + cOther +
                           "[LIC-7]\r\nunit1=A\r\ncomment1=a\r\nunit2=B\r\nunit7=機種\r\ncomment7=new comment\r\n\r\n");
  EXPECT_TRUE(TakeErrors().empty());
}

TEST_F(ModelDialog, WhatOkSavesAndWhatCancelThrowsAway) {
  Start();
  const std::string stored = ReadIni();
  struct TCase {
    const char* What;
    std::function<void(model::TfrmModel&)> User;
    std::string Section;  // LIC-7's lines after the dialog; empty: the file is as stored
  };
  const TCase cases[] = {
      {"Cancel after changes",
       [](model::TfrmModel& d) {
         d.DBGrid1.UserEditChanged(u"9");
         d.DBGrid1.UserKeyDown(TKey::Down, {});
         d.Button1.UserClick();
       },
       ""},
      {"closing the dialog otherwise",
       [](model::TfrmModel& d) {
         d.DBGrid1.UserEditChanged(u"9");
         d.UserClose();
         EXPECT_EQ(d.ModalResult, 2);
       },
       ""},
      {"an inserted row left empty",
       [](model::TfrmModel& d) {
         d.DBGrid1.UserKeyDown(TKey::Insert, {});
         d.btnOk.UserClick();
       },
       "unit1=A\r\ncomment1=a\r\nunit2=B\r\n"},
      {"a cleared unit number",
       [](model::TfrmModel& d) {
         d.DBGrid1.UserEditChanged(u"");
         d.btnOk.UserClick();
       },
       "unit2=B\r\n"},
      {"two rows with one number",
       [](model::TfrmModel& d) {
         d.DBGrid1.UserKeyDown(TKey::Down, {});
         d.DBGrid1.UserEditChanged(u"1");
         d.DBGrid1.UserKeyDown(TKey::Up, {});
         EXPECT_EQ(d.DBGrid1.RowCount(), 2);
         d.btnOk.UserClick();
       },
       "unit1=B\r\ncomment1=a\r\n"},
      {"a deleted row",
       [](model::TfrmModel& d) {
         d.DBNavigator1.UserClick(model::nbDelete);
         d.btnOk.UserClick();
       },
       "unit2=B\r\n"},
  };
  for (const TCase& c : cases) {
    WriteIni(stored);
    EXPECT_TRUE(ShowModel(c.User)) << c.What;
    EXPECT_EQ(ReadIni(), c.Section.empty() ? stored : cBom + cMain + cOther + "[LIC-7]\r\n" + c.Section + "\r\n")
        << c.What;
  }
}

TEST_F(ModelDialog, AfterCancelTheNextShowingHasTheFilesContent) {
  Start();
  ShowModel([](model::TfrmModel& d) {
    d.DBNavigator1.UserClick(model::nbDelete);
    d.DBGrid1.UserEditChanged(u"8");
    d.Button1.UserClick();
  });
  EXPECT_EQ(Form->cdsModel.RecordCount(), 1) << "the table keeps the changes until the next load";
  ShowModel([](model::TfrmModel& d) {
    EXPECT_EQ(d.DBGrid1.RowCount(), 2);
    EXPECT_EQ(d.DBGrid1.Cell(0, 0), u"1");
    EXPECT_EQ(d.DBGrid1.Cell(1, 0), u"2");
    EXPECT_EQ(d.DBGrid1.Cell(0, 2), u"a");
    d.Button1.UserClick();
  });
}

TEST_F(ModelDialog, OkWithARefusedEntryKeepsTheDialogOpen) {
  Start();
  EXPECT_TRUE(ShowModel([this](model::TfrmModel& d) {
    d.DBGrid1.UserEditChanged(u"70000");
    d.btnOk.UserClick();
    EXPECT_EQ(d.ModalResult, 0);
    EXPECT_EQ(TakeErrors().size(), 1u);
    EXPECT_EQ(d.Focused(), &d.DBGrid1);
    d.DBGrid1.UserKeyDown(TKey::Escape, {});
    d.btnOk.UserClick();
    EXPECT_EQ(d.ModalResult, 1);
  }));
  EXPECT_EQ(ReadIni(), cBom + cMain + cOther + cLicence);
  // Cancel throws the refused text away without a word.
  EXPECT_TRUE(ShowModel([this](model::TfrmModel& d) {
    d.DBGrid1.UserEditChanged(u"70000");
    d.Button1.UserClick();
    EXPECT_EQ(d.ModalResult, 2);
    EXPECT_TRUE(TakeErrors().empty());
  }));
  EXPECT_EQ(ReadIni(), cBom + cMain + cOther + cLicence);
}

TEST_F(ModelDialog, AFailedLoadShowsNoDialog) {
  WriteIni(cBom + cMain + "[LIC-7]\r\nunit1=A\r\nunitX=B\r\n\r\n");
  Start();
  TakeErrors();
  EXPECT_FALSE(ShowModel([](model::TfrmModel& d) { d.Button1.UserClick(); }));
  ASSERT_EQ(Os().DialogsImpl.Errors.size(), 1u);
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Title, u"Quorvel");
  EXPECT_EQ(Os().DialogsImpl.Errors[0].Text, u"''X'' は整数ではありません.");
}

TEST_F(ModelDialog, AFailedSaveIsShownAndTheDialogFreed) {
  Start();
  const std::string stored = ReadIni();
  EXPECT_TRUE(ShowModel([this](model::TfrmModel& d) {
    d.DBGrid1.UserEditChanged(u"5");
    Os().FilesImpl.HoldOpen(FromWide(IniPath().string()), platform::standin::TStandInFiles::THold::Reading);
    d.btnOk.UserClick();
  }));
  Os().FilesImpl.ReleaseAll();
  const std::vector<std::u16string> errors = TakeErrors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].substr(0, errors[0].find(u'。') + 1),
            u"ファイル \"" + FromWide(IniPath().string()) + u"\" を作成できません。");
  EXPECT_EQ(ReadIni(), stored);
}

TEST_F(ModelDialog, TheEmptyLicence) {
  WriteIni(cBom + "[]\r\nunit3=nameless\r\n\r\n" + cOther);
  Start();
  ASSERT_EQ(Form->DLicense(), u"");
  ASSERT_TRUE(Form->actShowModel.Enabled()) << "before any licence was set";
  EXPECT_TRUE(ShowModel([](model::TfrmModel& d) {
    EXPECT_EQ(d.edtLicense.Text(), u"");
    EXPECT_EQ(d.DBGrid1.Cell(0, 1), u"nameless");
    d.DBGrid1.UserKeyDown(TKey::Down, {});
    d.DBGrid1.UserChar(u'4');
    d.btnOk.UserClick();
  }));
  EXPECT_EQ(ReadIni(), cBom + cOther + "[]\r\nunit3=nameless\r\nunit4=\r\n\r\n");

  Form->SetDLicense(u"");
  EXPECT_FALSE(Form->actShowModel.Enabled());
  EXPECT_FALSE(ShowModel([](model::TfrmModel& d) { d.Button1.UserClick(); })) << "a disabled action shows nothing";
}
