// The dialog's record navigator on the stand-in backend: its buttons, tool tips, enabled
// rules and what each click does to the table.
#include "ModelFixture.h"
#include "model/uModel.h"

using model::TDataSetState;
using platform::TKey;

class ModelNavigator : public quorvel_test::TModelTest {
 public:  // the cases' steps act on the fixture
  void SetUp() override {
    TModelTest::SetUp();
    WriteIni(quorvel_test::cBom + Section("LIC-7", "unit1=A\r\nunit2=B\r\nunit3=C\r\n") +
             Section("ONE", "unit4=D\r\n"));
    Start();
  }
  void TearDown() override {
    Dialog.reset();
    TModelTest::TearDown();
  }
  model::TModelNavigator& Open(const std::u16string& licence) {
    Dialog.reset();
    Load(licence);
    Dialog = std::make_unique<model::TfrmModel>(*Form);
    Dialog->CreateHandle();
    Dialog->Show();
    return Dialog->DBNavigator1;
  }
  void Click(model::TNavigateBtn button) { Dialog->DBNavigator1.UserClick(button); }
  // One letter per enabled button, "-" for a disabled one, in button order.
  std::string Enabled() {
    const char letters[] = "FPNLIDEPC";
    std::string mask;
    for (int i = 0; i < model::cNavigateButtonCount; ++i) {
      const bool enabled = Dialog->DBNavigator1.ButtonEnabled(i);
      mask += enabled ? letters[i] : '-';
      EXPECT_EQ(Dialog->DBNavigator1.AccessButton(i).State, enabled ? 0u : platform::asUnavailable) << i;
    }
    return mask;
  }
  std::unique_ptr<model::TfrmModel> Dialog;
};

TEST_F(ModelNavigator, NineButtonsWithTheirToolTips) {
  model::TModelNavigator& navigator = Open(u"LIC-7");
  ASSERT_EQ(navigator.ButtonCount(), 9);
  const char16_t* hints[] = {u"最初のレコード", u"前のレコード",   u"次のレコード",
                             u"最後のレコード", u"レコードの挿入", u"レコードの削除",
                             u"レコードの編集", u"レコードの登録", u"編集の取り消し"};
  using G = platform::TNavigatorGlyph;
  const G glyphs[] = {G::BarTriangleLeft, G::TriangleLeft, G::TriangleRight, G::TriangleRightBar, G::Plus, G::Minus,
                      G::TriangleUp,      G::Check,        G::Cross};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(navigator.ButtonHint(i), hints[i]) << i;
    EXPECT_EQ(navigator.AccessButton(i).Name, hints[i]) << "a screen reader's name is the tool tip";
    EXPECT_EQ(navigator.AccessButton(i).DefaultAction, u"押す") << i;
    EXPECT_EQ(navigator.ButtonGlyph(i), glyphs[i]) << i;
    EXPECT_EQ(navigator.ButtonRepeats(i), i == model::nbPrior || i == model::nbNext) << i;
  }
  EXPECT_TRUE(navigator.ShowHint);
  EXPECT_EQ(navigator.RepeatDelay, 400);
  EXPECT_EQ(navigator.RepeatInterval, 100);
}

TEST_F(ModelNavigator, EnabledRules) {
  struct TCase {
    const char* What;
    const char16_t* Licence;
    std::function<void(ModelNavigator&)> Then;
    std::string Enabled;
  };
  auto none = [](ModelNavigator&) {};
  const TCase cases[] = {
      {"no rows", u"NONE", none, "----I-E--"},
      {"on the first row after the load", u"LIC-7", none, "--NLIDE--"},
      {"between the ends", u"LIC-7", [](ModelNavigator& t) { t.Click(model::nbNext); }, "FPNLIDE--"},
      {"after Last", u"LIC-7", [](ModelNavigator& t) { t.Click(model::nbLast); }, "FP--IDE--"},
      {"after Prior past the first row", u"LIC-7",
       [](ModelNavigator& t) {
         t.Click(model::nbNext);
         t.Click(model::nbPrior);
         t.Click(model::nbPrior);
       },
       "--NLIDE--"},
      {"editing", u"LIC-7", [](ModelNavigator& t) { t.Click(model::nbEdit); }, "--NLID-PC"},
      {"inserting", u"LIC-7",
       [](ModelNavigator& t) {
         t.Click(model::nbNext);
         t.Click(model::nbInsert);
       },
       "FPNLID-PC"},
      {"appending", u"LIC-7",
       [](ModelNavigator& t) {
         t.Click(model::nbLast);
         t.Click(model::nbNext);
         t.Dialog->DBGrid1.UserKeyDown(TKey::Down, {});
       },
       "FP--ID-PC"},
      {"a new row in an empty table", u"NONE", [](ModelNavigator& t) { t.Click(model::nbEdit); }, "----I--PC"},
      {"one row", u"ONE", none, "--NLIDE--"},
      {"one row, after Next", u"ONE", [](ModelNavigator& t) { t.Click(model::nbNext); }, "FP--IDE--"},
  };
  for (const TCase& c : cases) {
    Open(c.Licence);
    c.Then(*this);
    EXPECT_EQ(Enabled(), c.Enabled) << c.What;
  }
}

TEST_F(ModelNavigator, EachButtonActsOnTheTable) {
  struct TCase {
    model::TNavigateBtn Button;
    std::function<void(ModelNavigator&)> Before;
    TDataSetState State;
    int Row;
    std::vector<std::u16string> Units;
  };
  using S = TDataSetState;
  auto toMiddle = [](ModelNavigator& t) { t.Click(model::nbNext); };
  auto editMiddle = [](ModelNavigator& t) {
    t.Click(model::nbNext);
    t.Click(model::nbEdit);
    t.Table().FieldByName(u"UnitNo").SetAsInteger(9);
  };
  const TCase cases[] = {
      {model::nbFirst, [](ModelNavigator& t) { t.Click(model::nbLast); }, S::Browse, 0, {u"1", u"2", u"3"}},
      {model::nbPrior, [](ModelNavigator& t) { t.Click(model::nbLast); }, S::Browse, 1, {u"1", u"2", u"3"}},
      {model::nbPrior, [](ModelNavigator& t) { t.Table().Append(); }, S::Browse, 2, {u"1", u"2", u"3"}},
      {model::nbNext, toMiddle, S::Browse, 2, {u"1", u"2", u"3"}},
      {model::nbLast, toMiddle, S::Browse, 2, {u"1", u"2", u"3"}},
      {model::nbInsert, toMiddle, S::Insert, 1, {u"1", u"", u"2", u"3"}},
      {model::nbEdit, toMiddle, S::Edit, 1, {u"1", u"2", u"3"}},
      {model::nbPost, editMiddle, S::Browse, 2, {u"1", u"3", u"9"}},
      {model::nbCancel, editMiddle, S::Browse, 1, {u"1", u"2", u"3"}},
      {model::nbDelete, toMiddle, S::Browse, 1, {u"1", u"3"}},
  };
  for (const TCase& c : cases) {
    Open(u"LIC-7");
    c.Before(*this);
    Click(c.Button);
    EXPECT_EQ(Table().State(), c.State) << c.Button;
    EXPECT_EQ(Table().ViewRow(), c.Row) << c.Button;
    std::vector<std::u16string> units;
    for (const auto& row : Rows()) units.push_back(row.UnitNo);
    EXPECT_EQ(units, c.Units) << c.Button;
  }
}

TEST_F(ModelNavigator, DeleteAsksAndADisabledButtonDoesNothing) {
  auto& dialogs = Os().DialogsImpl;
  Open(u"LIC-7");
  dialogs.ConfirmAnswer = platform::TDialogAnswer::Cancel;
  Click(model::nbDelete);
  EXPECT_EQ(dialogs.Confirmations, std::vector<std::u16string>{u"レコードを削除しますか？"});
  EXPECT_EQ(Table().RecordCount(), 3) << "キャンセル keeps the row";
  dialogs.ConfirmAnswer = platform::TDialogAnswer::Ok;
  Click(model::nbDelete);
  EXPECT_EQ(Table().RecordCount(), 2);
  // First is disabled on the first row; Post and Cancel while browsing.
  Click(model::nbNext);
  Click(model::nbFirst);
  for (model::TNavigateBtn button : {model::nbFirst, model::nbPrior, model::nbPost, model::nbCancel}) Click(button);
  EXPECT_EQ(Table().ViewRow(), 0);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_TRUE(TakeErrors().empty());
  Open(u"NONE");
  dialogs.Confirmations.clear();
  Click(model::nbDelete);
  EXPECT_TRUE(dialogs.Confirmations.empty()) << "nothing to delete, nothing asked";
}

TEST_F(ModelNavigator, PostHandsInTheGridsTextAndShowsItsError) {
  Open(u"LIC-7");
  model::TModelGrid& grid = Dialog->DBGrid1;
  grid.UserEditChanged(u"70000");
  Click(model::nbPost);
  EXPECT_EQ(TakeErrors(), std::vector<std::u16string>{
                              u"70000 は項目 'UnitNo' に適した値ではありません。0 から 65535 の範囲が許されます."});
  EXPECT_EQ(Table().State(), TDataSetState::Edit);
  EXPECT_EQ(Enabled(), "--NLID-PC");
  grid.UserEditChanged(u"7");
  Click(model::nbPost);
  EXPECT_TRUE(TakeErrors().empty());
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(grid.Cell(2, 0), u"7");
  Click(model::nbEdit);
  grid.UserEditChanged(u"8");
  Click(model::nbCancel);
  EXPECT_EQ(grid.Cell(2, 0), u"7") << "Cancel drops what was typed";
}
