// The dialog's grid on the stand-in backend: columns, cells, typing, leaving a cell, and the
// keys that act on rows.
#include "ModelFixture.h"
#include "model/uModel.h"

using model::TDataSetState;
using platform::TKey;
using quorvel_test::TRow;

namespace {

const std::u16string cRange = u" は項目 'UnitNo' に適した値ではありません。0 から 65535 の範囲が許されます.";

}  // namespace

class ModelGrid : public quorvel_test::TModelTest {
 public:  // the key table's steps act on the fixture
  void SetUp() override {
    TModelTest::SetUp();
    WriteIni(quorvel_test::cBom + Section("LIC-7", "unit1=A\r\ncomment1=a\r\nunit2=B\r\nunit3=C\r\n"));
    Start();
  }
  // A fresh dialog on the table as loaded from `licence`.
  model::TModelGrid& Open(const std::u16string& licence = u"LIC-7") {
    Dialog.reset();
    Load(licence);
    Dialog = std::make_unique<model::TfrmModel>(*Form);
    Dialog->CreateHandle();
    Dialog->Show();
    return Dialog->DBGrid1;
  }
  void TearDown() override {
    Dialog.reset();
    TModelTest::TearDown();
  }
  bool Key(TKey key, bool ctrl = false, bool shift = false) {
    return Dialog->DBGrid1.UserKeyDown(key, {shift, ctrl, false});
  }
  std::vector<std::u16string> Units() {
    std::vector<std::u16string> units;
    for (const TRow& row : Rows()) units.push_back(row.UnitNo);
    return units;
  }
  model::TField& F(const char16_t* name) { return Table().FieldByName(name); }

  std::unique_ptr<model::TfrmModel> Dialog;
};

TEST_F(ModelGrid, ColumnsFollowTheFields) {
  model::TModelGrid& grid = Open();
  ASSERT_EQ(grid.ColCount(), 3);
  const platform::TAlignment alignments[] = {platform::TAlignment::Center, platform::TAlignment::Left,
                                             platform::TAlignment::Left};
  const char16_t* titles[] = {u"UnitNo", u"Model", u"Comment"};
  for (int col = 0; col < 3; ++col) {
    EXPECT_EQ(grid.Title(col), titles[col]);
    EXPECT_EQ(grid.ColAlignment(col), alignments[col]);
  }
  // (digit width less overhang) x display width + overhang + 4, at least the title's width + 4.
  struct TMetrics {
    int Digit, Overhang, Char;
    int Widths[3];
  };
  const TMetrics metrics[] = {
      {6, 0, 6, {40, 196, 196}},    // UnitNo: 6*6+4 = 40 = title 36+4
      {7, 0, 6, {46, 228, 228}},    // the formula wins
      {5, 1, 9, {58, 133, 133}},    // UnitNo's title (6*9+4) wins over 4*6+1+4
      {8, 2, 30, {184, 198, 214}},  // the titles of UnitNo and Comment win
  };
  auto& widgets = Os().WidgetsImpl;
  for (const TMetrics& m : metrics) {
    widgets.DigitWidth = m.Digit;
    widgets.Overhang = m.Overhang;
    widgets.CharWidth = m.Char;
    for (int col = 0; col < 3; ++col)
      EXPECT_EQ(grid.ColWidth(col), m.Widths[col]) << "digit " << m.Digit << " col " << col;
  }
  grid.UserColWidth(1, 77);
  EXPECT_EQ(grid.ColWidth(1), 77) << "a dragged width stays";
}

TEST_F(ModelGrid, CellsShowTheRowsInOrderAndTheIndicatorTheState) {
  WriteIni(quorvel_test::cBom + Section("LIC-7", "unit9=Z\r\nunit2=B\r\ncomment2=b\r\n"));
  model::TModelGrid& grid = Open();
  ASSERT_EQ(grid.RowCount(), 2);
  const std::u16string expected[2][3] = {{u"2", u"B", u"b"}, {u"9", u"Z", u""}};
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 3; ++col) EXPECT_EQ(grid.Cell(row, col), expected[row][col]) << row << "," << col;
  EXPECT_EQ(grid.Row(), 0);
  EXPECT_EQ(grid.Col(), 0);
  EXPECT_EQ(Dialog->Focused(), &grid) << "the grid has the focus when the dialog opens";
  using I = platform::TGridIndicator;
  EXPECT_EQ(grid.Indicator(0), I::Browse);
  EXPECT_EQ(grid.Indicator(1), I::None);
  platform::TGridView view = grid.View();
  ASSERT_EQ(view.Rows.size(), 2u) << "both rows have room";
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(view.Rows[row].Cells, std::vector<std::u16string>(std::begin(expected[row]), std::end(expected[row])));
    EXPECT_EQ(view.Rows[row].Indicator, grid.Indicator(row)) << row;
  }
  grid.UserViewSize(1, 1000);
  view = grid.View();
  EXPECT_EQ(view.Rows.size(), 2u) << "room for one row shows it, and the next in part";
  Key(TKey::Down);
  view = grid.View();
  EXPECT_EQ(view.TopRow, 1);
  ASSERT_EQ(view.Rows.size(), 1u);
  EXPECT_EQ(view.Rows[0].Cells[1], u"Z");
  Key(TKey::Up);
  Table().Edit();
  EXPECT_EQ(grid.Indicator(0), I::Edit);
  Key(TKey::Insert);
  EXPECT_EQ(grid.Indicator(0), I::Insert);
  EXPECT_EQ(grid.Indicator(1), I::None);
  EXPECT_EQ(grid.RowCount(), 3);
}

// Each case starts on the first of the rows 1, 2, 3 in the first column.
TEST_F(ModelGrid, KeyTable) {
  struct TCase {
    const char* What;
    std::function<void(ModelGrid&)> Keys;
    TDataSetState State;
    int Row, Col;
    std::vector<std::u16string> Units;
  };
  using S = TDataSetState;
  auto keys = [](std::initializer_list<TKey> list) {
    std::vector<TKey> all(list);
    return [all](ModelGrid& t) {
      for (TKey key : all) t.Key(key);
    };
  };
  const TCase cases[] = {
      {"Insert starts a row before the current one",
       keys({TKey::Down, TKey::Insert}),
       S::Insert,
       1,
       0,
       {u"1", u"", u"2", u"3"}},
      {"Down on the last row starts a row at the end",
       keys({TKey::Down, TKey::Down, TKey::Down}),
       S::Insert,
       3,
       0,
       {u"1", u"2", u"3", u""}},
      {"Down on an untouched new row at the end does nothing",
       keys({TKey::Down, TKey::Down, TKey::Down, TKey::Down}),
       S::Insert,
       3,
       0,
       {u"1", u"2", u"3", u""}},
      {"Tab from the last column on the last row starts a row at the end",
       keys({TKey::Down, TKey::Down, TKey::Tab, TKey::Tab, TKey::Tab}),
       S::Insert,
       3,
       0,
       {u"1", u"2", u"3", u""}},
      {"Tab from the last column on another row moves to the next row",
       keys({TKey::End, TKey::Tab}),
       S::Browse,
       1,
       0,
       {u"1", u"2", u"3"}},
      {"Tab from the last column on an untouched new row at the end does nothing",
       keys({TKey::Down, TKey::Down, TKey::Down, TKey::End, TKey::Tab}),
       S::Insert,
       3,
       2,
       {u"1", u"2", u"3", u""}},
      {"Down on an untouched inserted row drops it",
       keys({TKey::Down, TKey::Insert, TKey::Down}),
       S::Browse,
       1,
       0,
       {u"1", u"2", u"3"}},
      {"Up on an untouched new row at the end drops it",
       keys({TKey::Down, TKey::Down, TKey::Down, TKey::Up}),
       S::Browse,
       2,
       0,
       {u"1", u"2", u"3"}},
      {"Up on an untouched inserted row moves up",
       keys({TKey::Down, TKey::Insert, TKey::Up}),
       S::Browse,
       0,
       0,
       {u"1", u"2", u"3"}},
      {"the wheel and the scroll bar on the last row start no row",
       [](ModelGrid& t) {
         t.Key(TKey::End, true);
         t.Dialog->DBGrid1.UserScroll(platform::TScrollBar::Vertical, platform::TScroll::LineOn);
         t.Dialog->DBGrid1.UserScroll(platform::TScrollBar::Vertical, platform::TScroll::PageOn);
       },
       S::Browse,
       2,
       0,
       {u"1", u"2", u"3"}},
      {"scrolling back from an untouched new row at the end lands on the last row",
       [](ModelGrid& t) {
         t.Key(TKey::End, true);
         t.Key(TKey::Down);
         t.Dialog->DBGrid1.UserScroll(platform::TScrollBar::Vertical, platform::TScroll::LineBack);
       },
       S::Browse,
       2,
       0,
       {u"1", u"2", u"3"}},
      {"Esc on a new row drops it",
       keys({TKey::Down, TKey::Insert, TKey::Escape}),
       S::Browse,
       1,
       0,
       {u"1", u"2", u"3"}},
      {"Shift+Tab from the first column goes to the prior row's last column",
       [](ModelGrid& t) {
         t.Key(TKey::Down);
         t.Key(TKey::Tab, false, true);
       },
       S::Browse,
       0,
       2,
       {u"1", u"2", u"3"}},
      {"Ctrl+End and Ctrl+Home",
       [](ModelGrid& t) {
         t.Key(TKey::End, true);
         t.Key(TKey::Home, true);
         t.Key(TKey::End, true);
       },
       S::Browse,
       2,
       0,
       {u"1", u"2", u"3"}},
      {"a typed number posts at its place when the row is left",
       [](ModelGrid& t) {
         t.Key(TKey::Down);
         t.Key(TKey::Down);
         t.Dialog->DBGrid1.UserChar(u'0');
         t.Key(TKey::Up);
       },
       S::Browse,
       0,
       0,
       {u"0", u"1", u"2"}},
      {"a row renumbered last is followed by a new row on Down",
       [](ModelGrid& t) {
         t.Dialog->DBGrid1.UserChar(u'9');
         t.Key(TKey::Down);
       },
       S::Insert,
       3,
       0,
       {u"2", u"3", u"9", u""}},
      {"a cleared number is posted as a row without one",
       [](ModelGrid& t) {
         t.Key(TKey::Down);
         t.Dialog->DBGrid1.UserEditChanged(u"");
         t.Key(TKey::Down);
       },
       S::Browse,
       1,
       0,
       {u"", u"1", u"3"}},
  };
  for (const TCase& c : cases) {
    model::TModelGrid& grid = Open();
    c.Keys(*this);
    EXPECT_EQ(Table().State(), c.State) << c.What;
    EXPECT_EQ(grid.Row(), c.Row) << c.What;
    EXPECT_EQ(grid.Col(), c.Col) << c.What;
    EXPECT_EQ(Units(), c.Units) << c.What;
    EXPECT_TRUE(TakeErrors().empty()) << c.What;
  }
}

TEST_F(ModelGrid, EscRestoresTheCellThenCancelsTheRow) {
  model::TModelGrid& grid = Open();
  Key(TKey::Right);
  grid.UserEditChanged(u"changed");
  EXPECT_EQ(Table().State(), TDataSetState::Edit);
  EXPECT_EQ(grid.Cell(0, 1), u"changed");
  Key(TKey::Escape);
  EXPECT_EQ(grid.Cell(0, 1), u"A") << "the field's value is back in the cell";
  EXPECT_EQ(Table().State(), TDataSetState::Edit);
  grid.UserEditChanged(u"assigned");
  Key(TKey::Enter);
  EXPECT_EQ(F(u"Model").AsString(), u"assigned");
  Key(TKey::Escape);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(grid.Cell(0, 1), u"A") << "the row's changes are cancelled";
}

TEST_F(ModelGrid, CharactersTheCellsAccept) {
  struct TCase {
    int Col;
    char16_t Char;
    bool Accepted;
  };
  const TCase cases[] = {
      {0, u'0', true},  {0, u'5', true},  {0, u'9', true},  {0, u'+', true},  {0, u'A', false},
      {0, u'-', false}, {0, u' ', false}, {0, u'$', false}, {0, u'x', false}, {0, u'あ', false},
      {1, u'A', true},  {1, u'-', true},  {1, u' ', true},  {1, u'あ', true}, {2, u'$', true},
  };
  for (const TCase& c : cases) {
    model::TModelGrid& grid = Open();
    for (int i = 0; i < c.Col; ++i) Key(TKey::Right);
    const std::u16string before = grid.Cell(0, c.Col);
    EXPECT_EQ(grid.AcceptsChar(c.Char), c.Accepted) << c.Col << " " << int(c.Char);
    EXPECT_EQ(grid.UserEditorChar(c.Char, {}), c.Accepted ? platform::TEditorChar::Type : platform::TEditorChar::Refuse)
        << "the cell editor takes what the cell accepts: " << c.Col << " " << int(c.Char);
    EXPECT_EQ(grid.UserChar(c.Char), c.Accepted) << "refused characters beep: " << c.Col << " " << int(c.Char);
    EXPECT_EQ(grid.Cell(0, c.Col), c.Accepted ? std::u16string(1, c.Char) : before) << c.Col << " " << int(c.Char);
    EXPECT_EQ(Table().State(), c.Accepted ? TDataSetState::Edit : TDataSetState::Browse) << c.Col << " " << int(c.Char);
  }
  // An input method commits its text as a burst that reaches the grid before its editor has
  // the focus: the characters follow one another, up to the field's size.
  model::TModelGrid& burst = Open();
  Key(TKey::Right);
  for (char16_t c : std::u16string(u"日本語")) EXPECT_TRUE(burst.UserChar(c));
  EXPECT_EQ(burst.Cell(0, 1), u"日本語");
  const std::u16string full(32, u'字');
  burst.UserEditChanged(full);
  EXPECT_FALSE(burst.UserChar(u'x')) << "a full cell refuses more";
  EXPECT_EQ(burst.Cell(0, 1), full);
  // A pair that would end past the limit goes whole or not at all.
  burst.UserEditChanged(std::u16string(31, u'字'));
  for (char16_t c : std::u16string(u"𠮷")) EXPECT_FALSE(burst.UserChar(c));
  EXPECT_EQ(burst.Cell(0, 1), std::u16string(31, u'字'));
  EXPECT_EQ(burst.UserEditorChar(u"𠮷" [0], { 0, 1, 31 }), platform::TEditorChar::Type) << "room over a selection";

  model::TModelGrid& grid = Open();
  for (char16_t key : {u'\r', u'\n', u'\t', u'\x1B'})
    EXPECT_EQ(grid.UserEditorChar(key, {}), platform::TEditorChar::Drop) << "their keys did the work: " << int(key);
  EXPECT_EQ(grid.UserEditorChar(u'\b', {}), platform::TEditorChar::Type) << "Backspace edits the number";
  EXPECT_FALSE(grid.EditImeAllowed()) << "the UnitNo cell has no input method";
  EXPECT_EQ(grid.EditMaxLength(), 0);
  Key(TKey::Right);
  EXPECT_TRUE(grid.EditImeAllowed());
  EXPECT_EQ(grid.EditMaxLength(), 32);
}

TEST_F(ModelGrid, TypingIntoAnEmptyTableStartsANewRow) {
  model::TModelGrid& grid = Open(u"NONE");
  EXPECT_EQ(grid.RowCount(), 0);
  EXPECT_EQ(grid.Row(), -1);
  EXPECT_TRUE(grid.UserChar(u'4'));
  EXPECT_EQ(Table().State(), TDataSetState::Insert);
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_EQ(grid.Cell(0, 0), u"4");
  Key(TKey::Enter);
  EXPECT_EQ(F(u"UnitNo").AsInteger(), 4);
  EXPECT_TRUE(Table().Modified());
}

TEST_F(ModelGrid, LongTextIsCutTo32Characters) {
  const std::u16string forty = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
  model::TModelGrid& grid = Open();
  Key(TKey::Right);
  grid.UserEditChanged(forty);
  EXPECT_EQ(grid.Cell(0, 1), forty.substr(0, 32));
  Key(TKey::Right);
  EXPECT_EQ(Table().Fields(1).AsString(), forty.substr(0, 32));
}

TEST_F(ModelGrid, ARefusedUnitNumberIsShownAndTheFieldKeepsItsValue) {
  struct TCase {
    std::u16string Typed;
    TKey Leave;
    std::u16string Error;
  };
  const TCase cases[] = {
      {u"70000", TKey::Right, u"70000" + cRange},
      {u"65536", TKey::Enter, u"65536" + cRange},
      {u"+", TKey::Tab, u"'+' は項目 'UnitNo' に適した整数値ではありません."},
      {u"1 2", TKey::Down, u"'1 2' は項目 'UnitNo' に適した整数値ではありません."},
  };
  for (const TCase& c : cases) {
    model::TModelGrid& grid = Open();
    grid.UserEditChanged(c.Typed);
    Key(c.Leave);
    EXPECT_EQ(TakeErrors(), std::vector<std::u16string>{c.Error}) << platform::ToUtf8(c.Typed);
    EXPECT_EQ(F(u"UnitNo").AsString(), u"1") << platform::ToUtf8(c.Typed);
    EXPECT_EQ(grid.Cell(0, 0), c.Typed) << "the typed text stays in the cell";
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(Dialog->Focused(), &grid);
    // Leaving the grid fails the same way; the dialog stays usable.
    EXPECT_FALSE(grid.ExitGrid());
    EXPECT_EQ(TakeErrors().size(), 1u);
    grid.UserEditChanged(u"12");
    EXPECT_TRUE(grid.ExitGrid());
    EXPECT_EQ(F(u"UnitNo").AsString(), u"12");
    EXPECT_TRUE(TakeErrors().empty());
  }
}

TEST_F(ModelGrid, LeavingTheGrid) {
  model::TModelGrid& grid = Open();
  // Ctrl+Tab and Ctrl+Shift+Tab move the focus on through the dialog, round.
  EXPECT_TRUE(Key(TKey::Tab, true));
  EXPECT_EQ(Dialog->Focused(), &Dialog->btnOk);
  Dialog->SetFocus(&grid);
  EXPECT_TRUE(Key(TKey::Tab, true, true));
  EXPECT_EQ(Dialog->Focused(), &Dialog->edtLicense);
  Dialog->SetFocus(&grid);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);

  Key(TKey::Insert);
  EXPECT_TRUE(grid.ExitGrid());
  EXPECT_EQ(Table().State(), TDataSetState::Browse) << "an untouched new row is dropped";
  EXPECT_EQ(Units(), (std::vector<std::u16string>{u"1", u"2", u"3"}));
  Key(TKey::Right);
  grid.UserEditChanged(u"typed");
  EXPECT_TRUE(grid.ExitGrid());
  EXPECT_EQ(F(u"Model").AsString(), u"typed") << "the cell's text is assigned";
  EXPECT_EQ(Table().State(), TDataSetState::Edit) << "and the row is still being edited";

  // The focus going to Cancel checks nothing: a refused number there shows no error.
  Key(TKey::Left);
  grid.UserEditChanged(u"70000");
  Dialog->SetFocus(&Dialog->Button1);
  grid.UserExit();
  EXPECT_TRUE(TakeErrors().empty());
  Dialog->SetFocus(&Dialog->btnOk);
  grid.UserExit();
  EXPECT_EQ(TakeErrors(), std::vector<std::u16string>{u"70000" + cRange});
}

// Keys pressed in the cell editor: those that move between cells go to the grid once the caret
// cannot move further in the text; the rest stay with the editor.
TEST_F(ModelGrid, KeysTheEditorPasses) {
  struct TCase {
    TKey Key;
    bool Ctrl;
    platform::TEditorCaret Caret;
    bool Passed;
  };
  const TCase cases[] = {
      {TKey::Left, false, {0, 0, 3}, true},   {TKey::Left, false, {1, 1, 3}, false},
      {TKey::Left, false, {0, 3, 3}, true},   {TKey::Right, false, {3, 3, 3}, true},
      {TKey::Right, false, {2, 2, 3}, false}, {TKey::Home, false, {2, 2, 3}, false},
      {TKey::Home, true, {2, 2, 3}, true},    {TKey::End, false, {1, 1, 3}, false},
      {TKey::End, true, {1, 1, 3}, true},     {TKey::Up, false, {1, 1, 3}, true},
      {TKey::Tab, true, {1, 1, 3}, true},     {TKey::Delete, false, {1, 1, 3}, false},
      {TKey::Delete, true, {1, 1, 3}, true},  {TKey::Insert, false, {1, 1, 3}, true},
      {TKey::F2, false, {1, 1, 3}, false},
  };
  model::TModelGrid& grid = Open();
  for (const TCase& c : cases)
    EXPECT_EQ(grid.EditorPassesKey(c.Key, {false, c.Ctrl, false}, c.Caret), c.Passed)
        << static_cast<int>(c.Key) << " ctrl " << c.Ctrl << " caret " << c.Caret.Start << "-" << c.Caret.End;
}

// A narrow grid scrolls its columns: the current cell always stays in view.
TEST_F(ModelGrid, ColumnsScrollToKeepTheCurrentCellInView) {
  model::TModelGrid& grid = Open();
  const int all = grid.ColLeft(2) + grid.ColWidth(2);
  grid.UserViewSize(4, all);
  EXPECT_EQ(grid.MaxLeftCol(), 0) << "all columns fit";
  const int narrow = all - 1;
  grid.UserViewSize(4, narrow);
  EXPECT_EQ(grid.MaxLeftCol(), 1);
  Key(TKey::End);
  EXPECT_EQ(grid.LeftCol(), 1) << "Comment scrolled into view";
  EXPECT_LE(grid.ColLeft(2) + grid.ColWidth(2), narrow);
  const platform::TGridView view = grid.View();
  EXPECT_EQ(view.LeftCol, 1);
  EXPECT_EQ(view.MaxLeftCol, 1);
  for (int col = 1; col < 3; ++col) {
    EXPECT_EQ(view.Columns[col].Left, grid.ColLeft(col)) << "the backend draws column " << col << " there";
    EXPECT_EQ(view.Columns[col].Width, grid.ColWidth(col)) << col;
  }
  EXPECT_EQ(view.Right, grid.ColLeft(2) + grid.ColWidth(2) + platform::TCustomGrid::cLineWidth);
  grid.UserScroll(platform::TScrollBar::Horizontal, platform::TScroll::Start);
  EXPECT_EQ(grid.LeftCol(), 0) << "the bar scrolls the view";
  EXPECT_EQ(grid.Col(), 2) << "but leaves the current cell";
  Key(TKey::Home);
  grid.UserColWidth(0, 600);
  Key(TKey::Right);
  EXPECT_EQ(grid.LeftCol(), 1) << "past a widened column";
  grid.UserViewSize(4, all + 600);
  EXPECT_EQ(grid.LeftCol(), 0) << "room again: every column shows";
}

TEST_F(ModelGrid, ClickingAnotherRowPostsTheCurrentOne) {
  model::TModelGrid& grid = Open();
  grid.UserEditChanged(u"5");
  grid.UserClick(2, 1, false);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(Units(), (std::vector<std::u16string>{u"2", u"3", u"5"}));
  EXPECT_EQ(grid.Row(), 1) << "the row clicked, now second";
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(F(u"Model").AsString(), u"C");
}

TEST_F(ModelGrid, CtrlDeleteAsksFirst) {
  auto& dialogs = Os().DialogsImpl;
  struct TCase {
    platform::TDialogAnswer Answer;
    std::vector<std::u16string> Units;
  };
  const TCase cases[] = {{platform::TDialogAnswer::Cancel, {u"1", u"2", u"3"}},
                         {platform::TDialogAnswer::Ok, {u"1", u"3"}}};
  for (const TCase& c : cases) {
    Open();
    Key(TKey::Down);
    dialogs.Confirmations.clear();
    dialogs.ConfirmAnswer = c.Answer;
    EXPECT_FALSE(Key(TKey::Delete)) << "Delete alone is the editor's";
    EXPECT_TRUE(dialogs.Confirmations.empty());
    EXPECT_TRUE(Key(TKey::Delete, true));
    EXPECT_EQ(dialogs.Confirmations, std::vector<std::u16string>{u"レコードを削除しますか？"});
    EXPECT_EQ(Units(), c.Units);
  }
  // The new row of an empty table is asked about too, and OK drops it.
  model::TModelGrid& grid = Open(u"NONE");
  Key(TKey::Insert);
  dialogs.Confirmations.clear();
  dialogs.ConfirmAnswer = platform::TDialogAnswer::Ok;
  EXPECT_TRUE(Key(TKey::Delete, true));
  EXPECT_EQ(dialogs.Confirmations.size(), 1u);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(grid.RowCount(), 0);
}

TEST_F(ModelGrid, ScreenReadersReadEveryCellAndHearWhatChanges) {
  model::TModelGrid& grid = Open();
  using namespace platform;
  // name=value/state, the state's bits 1 focused, 2 selected, 4 read-only.
  auto said = [&](int row, int col) {
    const TAccessItem item = grid.AccessCell(row, col);
    return item.Name + u"=" + item.Value + u"/" + IntToStr(item.State);
  };
  EXPECT_EQ(said(0, 0), u"UnitNo, row 1=1/3");
  EXPECT_EQ(said(2, 1), u"Model, row 3=C/0");
  EXPECT_EQ(said(0, -1), u"Row 1=1; A; a/2");
  EXPECT_EQ(said(1, -1), u"Row 2=2; B; /0");
  EXPECT_EQ(said(-1, 2), u"Comment=/4");
  EXPECT_EQ(grid.AccessName, u"Model table");
  // Each step's announcements, in order; the unit 9 moves its row to the end.
  using E = TAccessEvent;
  using A = standin::TStandInWidgets::TAnnouncement;
  struct TStep {
    std::function<void()> Act;
    std::vector<A> Heard;
  };
  const TStep steps[] = {
      {[&] { Key(TKey::Right); }, {{E::Focus, 0, 1}}},
      {[&] { grid.UserEditChanged(u"日本語"); }, {{E::ValueChange, 0, 1}, {E::StateChange, 0, -1}}},
      {[&] { Key(TKey::Down); }, {{E::StateChange, 0, -1}, {E::Focus, 1, 1}}},
      {[&] { Key(TKey::Insert); }, {{E::Reorder, -1, -1}, {E::StateChange, 1, -1}, {E::Focus, 1, 1}}},
      {[&] { Key(TKey::Escape); }, {{E::Reorder, -1, -1}, {E::StateChange, 1, -1}, {E::Focus, 1, 1}}},
      {[&] { Key(TKey::Home); }, {{E::Focus, 1, 0}}},
      {[&] { grid.UserEditChanged(u"9"); }, {{E::ValueChange, 1, 0}, {E::StateChange, 1, -1}}},
      {[&] { Key(TKey::Up); }, {{E::Reorder, -1, -1}, {E::StateChange, 1, -1}, {E::Focus, 1, 0}}},
  };
  auto& heard = Os().WidgetsImpl.Announced;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    heard.clear();
    steps[i].Act();
    EXPECT_EQ(heard, steps[i].Heard) << "step " << i;
  }
  EXPECT_EQ(grid.AccessCell(0, 1).Value, u"日本語");
  EXPECT_EQ(Units(), (std::vector<std::u16string>{u"1", u"3", u"9"}));
}
