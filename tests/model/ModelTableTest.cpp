// The model table as the main window defines it: fields, index order, the four states, the
// modified flag, Bof and Eof, and the errors of assigning fields.
#include <functional>

#include "ModelFixture.h"
#include "model/ModelErrors.h"

using model::TDataSetState;
using quorvel_test::TRow;

namespace {

const std::u16string cRange = u" は項目 'UnitNo' に適した値ではありません。0 から 65535 の範囲が許されます";

std::u16string NotInteger(const std::u16string& text) {
  return u"'" + text + u"' は項目 'UnitNo' に適した整数値ではありません";
}

}  // namespace

class ModelTable : public quorvel_test::TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    Start();
  }
  model::TField& F(const char16_t* name) { return Table().FieldByName(name); }
  std::u16string Raised(const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& error) {
      return platform::FromUtf8(error.what());
    }
    return u"(no error)";
  }
};

TEST_F(ModelTable, CreatedOpenEmptyWithItsFieldsAndIndex) {
  model::TModelTable& table = Table();
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.State(), TDataSetState::Browse);
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.Eof());
  EXPECT_FALSE(table.Modified());
  ASSERT_EQ(table.FieldCount(), 3);
  struct TExpect {
    const char16_t* Name;
    model::TFieldType Type;
    int Size;
  };
  const TExpect fields[] = {{u"UnitNo", model::TFieldType::Word, 0},
                            {u"Model", model::TFieldType::WideString, 32},
                            {u"Comment", model::TFieldType::WideString, 32}};
  for (int i = 0; i < 3; ++i) {
    const model::TField& field = table.Fields(i);
    EXPECT_EQ(field.FieldName, fields[i].Name);
    EXPECT_EQ(field.DisplayLabel, fields[i].Name);
    EXPECT_EQ(field.DataType, fields[i].Type);
    EXPECT_EQ(field.Size, fields[i].Size);
    EXPECT_FALSE(field.Required);
    EXPECT_EQ(&table.FieldByName(fields[i].Name), &field);
  }
  ASSERT_EQ(table.IndexDefs.size(), 1u);
  EXPECT_EQ(table.IndexDefs[0].Name, u"UnitNo_IDX");
  EXPECT_EQ(table.IndexDefs[0].Fields, u"UnitNo");
  EXPECT_TRUE(table.IndexDefs[0].Primary);
  EXPECT_EQ(table.IndexName, u"UnitNo_IDX");
  EXPECT_THROW(table.FieldByName(u"unitno"), std::exception) << "field names are exact";
}

// One script of operations, each followed by the state it must leave.
TEST_F(ModelTable, StatesFlagsAndOrderAcrossEveryOperation) {
  AddRow(u"10", u"a", u"");
  AddRow(u"30", u"c", u"");
  AddRow(u"20", u"b", u"");
  model::TModelTable& t = Table();
  struct TStep {
    const char* What;
    std::function<void()> Do;
    TDataSetState State;
    bool Modified, Bof, Eof;
    int ViewRow;
    std::vector<std::u16string> Units;  // the unit numbers shown, "*" for a row without one
  };
  auto set = [&](const char16_t* field, const char16_t* text) { return [=, this] { F(field).SetAsString(text); }; };
  using S = TDataSetState;
  const TStep steps[] = {
      {"First", [&] { t.First(); }, S::Browse, false, true, false, 0, {u"10", u"20", u"30"}},
      {"Prior at Bof", [&] { t.Prior(); }, S::Browse, false, true, false, 0, {u"10", u"20", u"30"}},
      {"Next", [&] { t.Next(); }, S::Browse, false, false, false, 1, {u"10", u"20", u"30"}},
      {"Last", [&] { t.Last(); }, S::Browse, false, false, true, 2, {u"10", u"20", u"30"}},
      {"Next at Eof", [&] { t.Next(); }, S::Browse, false, false, true, 2, {u"10", u"20", u"30"}},
      {"Prior", [&] { t.Prior(); }, S::Browse, false, false, false, 1, {u"10", u"20", u"30"}},
      {"Prior onto the first row", [&] { t.Prior(); }, S::Browse, false, false, false, 0, {u"10", u"20", u"30"}},
      {"Prior past the first row", [&] { t.Prior(); }, S::Browse, false, true, false, 0, {u"10", u"20", u"30"}},
      {"Edit", [&] { t.Edit(); }, S::Edit, false, true, false, 0, {u"10", u"20", u"30"}},
      {"assign Model", set(u"Model", u"x"), S::Edit, true, true, false, 0, {u"10", u"20", u"30"}},
      {"Next posts", [&] { t.Next(); }, S::Browse, false, false, false, 1, {u"10", u"20", u"30"}},
      {"Edit again", [&] { t.Edit(); }, S::Edit, false, false, false, 1, {u"10", u"20", u"30"}},
      {"renumber 20 to 40", set(u"UnitNo", u"40"), S::Edit, true, false, false, 1, {u"10", u"40", u"30"}},
      {"Post moves it into order", [&] { t.Post(); }, S::Browse, false, false, false, 2, {u"10", u"30", u"40"}},
      {"Insert before the current row",
       [&] { t.Insert(); },
       S::Insert,
       false,
       false,
       false,
       2,
       {u"10", u"30", u"", u"40"}},
      {"Cancel drops it", [&] { t.Cancel(); }, S::Browse, false, false, false, 2, {u"10", u"30", u"40"}},
      {"Append", [&] { t.Append(); }, S::Insert, false, false, true, 3, {u"10", u"30", u"40", u""}},
      {"number it 5", set(u"UnitNo", u"5"), S::Insert, true, false, true, 3, {u"10", u"30", u"40", u"5"}},
      {"Post puts it first", [&] { t.Post(); }, S::Browse, false, false, false, 0, {u"5", u"10", u"30", u"40"}},
      {"untouched Append", [&] { t.Append(); }, S::Insert, false, false, true, 4, {u"5", u"10", u"30", u"40", u""}},
      {"Last settles: dropped", [&] { t.Last(); }, S::Browse, false, false, true, 3, {u"5", u"10", u"30", u"40"}},
      {"Append with a model",
       [&] {
         t.Append();
         F(u"Model").SetAsString(u"m");
       },
       S::Insert,
       true,
       false,
       true,
       4,
       {u"5", u"10", u"30", u"40", u""}},
      {"First settles: posted without a number",
       [&] { t.First(); },
       S::Browse,
       false,
       true,
       false,
       0,
       {u"", u"5", u"10", u"30", u"40"}},
      {"Edit and change, then Delete",
       [&] {
         t.Edit();
         F(u"Model").SetAsString(u"gone");
         t.Delete();
       },
       S::Browse,
       false,
       false,
       false,
       0,
       {u"5", u"10", u"30", u"40"}},
      {"Delete the last row",
       [&] {
         t.Last();
         t.Delete();
       },
       S::Browse,
       false,
       false,
       false,
       2,
       {u"5", u"10", u"30"}},
      {"Insert then Delete drops the new row",
       [&] {
         t.Insert();
         t.Delete();
       },
       S::Browse,
       false,
       false,
       false,
       2,
       {u"5", u"10", u"30"}},
      {"Edit with no assignment, Prior cancels",
       [&] {
         t.Edit();
         t.Prior();
       },
       S::Browse,
       false,
       false,
       false,
       1,
       {u"5", u"10", u"30"}},
      {"EmptyDataSet with a pending row",
       [&] {
         t.Append();
         F(u"UnitNo").SetAsInteger(7);
         t.EmptyDataSet();
       },
       S::Browse,
       false,
       true,
       true,
       -1,
       {}},
      {"Next on an empty table", [&] { t.Next(); }, S::Browse, false, true, true, -1, {}},
      {"Edit on an empty table starts a new row", [&] { t.Edit(); }, S::Insert, false, true, true, 0, {u""}},
      {"Cancel", [&] { t.Cancel(); }, S::Browse, false, true, true, -1, {}},
  };
  for (const TStep& step : steps) {
    step.Do();
    EXPECT_EQ(t.State(), step.State) << step.What;
    EXPECT_EQ(t.Modified(), step.Modified) << step.What;
    EXPECT_EQ(t.Bof(), step.Bof) << step.What;
    EXPECT_EQ(t.Eof(), step.Eof) << step.What;
    EXPECT_EQ(t.ViewRow(), step.ViewRow) << step.What;
    std::vector<std::u16string> units;
    for (const TRow& row : Rows()) units.push_back(row.UnitNo);
    EXPECT_EQ(units, step.Units) << step.What;
  }
  EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(ModelTable, NextAndPriorWalkEveryRowOnceBetweenTheFlags) {
  for (const char16_t* unit : {u"3", u"1", u"2"}) AddRow(unit, u"", u"");
  model::TModelTable& t = Table();
  std::vector<std::u16string> forward, backward;
  for (t.First(); !t.Eof(); t.Next()) forward.push_back(F(u"UnitNo").AsString());
  for (t.Last(); !t.Bof(); t.Prior()) backward.push_back(F(u"UnitNo").AsString());
  EXPECT_EQ(forward, (std::vector<std::u16string>{u"1", u"2", u"3"}));
  EXPECT_EQ(backward, (std::vector<std::u16string>{u"3", u"2", u"1"}));
}

TEST_F(ModelTable, EqualUnitNumbersAreAllKeptInTheOrderPosted) {
  AddRow(u"5", u"A", u"x");
  AddRow(u"9", u"Z", u"");
  AddRow(u"5", u"B", u"");
  AddRow(u"", u"none", u"");
  EXPECT_EQ(Rows(), (std::vector<TRow>{{u"", u"none", u""}, {u"5", u"A", u"x"}, {u"5", u"B", u""}, {u"9", u"Z", u""}}));
}

TEST_F(ModelTable, AssigningFields) {
  const std::u16string forty = u"0123456789012345678901234567890123456789";
  struct TCase {
    const char16_t* Field;
    std::u16string Text;
    std::u16string Stored;  // what the field then holds
    std::u16string Error;   // empty: accepted
  };
  const TCase cases[] = {
      {u"Model", forty, forty.substr(0, 32), u""},
      {u"Comment", forty, forty.substr(0, 32), u""},
      // A character beyond U+FFFF that the cut would split goes whole; one that fits stays.
      {u"Model", std::u16string(31, u'a') + u"\U0001F600b", std::u16string(31, u'a'), u""},
      {u"Comment", std::u16string(30, u'a') + u"\U0001F600b", std::u16string(30, u'a') + u"\U0001F600", u""},
      {u"Model", u"モデル名", u"モデル名", u""},
      {u"Model", u"", u"", u""},
      {u"UnitNo", u"12", u"12", u""},
      {u"UnitNo", u"+5", u"5", u""},
      {u"UnitNo", u"$10", u"16", u""},
      {u"UnitNo", u"0x1f", u"31", u""},
      {u"UnitNo", u"  7", u"7", u""},
      {u"UnitNo", u"007", u"7", u""},
      {u"UnitNo", u"0", u"0", u""},
      {u"UnitNo", u"65535", u"65535", u""},
      {u"UnitNo", u"", u"", u""},
      {u"UnitNo", u"65536", u"1", u"65536" + cRange},
      {u"UnitNo", u"70000", u"1", u"70000" + cRange},
      {u"UnitNo", u"-1", u"1", u"-1" + cRange},
      {u"UnitNo", u"$FFFFFFFF", u"1", u"-1" + cRange},
      {u"UnitNo", u"A", u"1", NotInteger(u"A")},
      {u"UnitNo", u"12px", u"1", NotInteger(u"12px")},
      {u"UnitNo", u"7 ", u"1", NotInteger(u"7 ")},
      {u"UnitNo", u"2147483648", u"1", NotInteger(u"2147483648")},
  };
  for (const TCase& c : cases) {
    Table().EmptyDataSet();
    AddRow(u"1", u"old", u"old");
    Table().Edit();
    const std::u16string error = Raised([&] { F(c.Field).SetAsString(c.Text); });
    EXPECT_EQ(error, c.Error.empty() ? u"(no error)" : c.Error) << platform::ToUtf8(c.Text);
    const std::u16string before = c.Field == std::u16string(u"UnitNo") ? u"1" : u"old";
    EXPECT_EQ(F(c.Field).AsString(), c.Error.empty() ? c.Stored : before) << platform::ToUtf8(c.Text);
    EXPECT_EQ(Table().Modified(), c.Error.empty()) << "a refused value assigns nothing: " << platform::ToUtf8(c.Text);
    Table().Post();
    EXPECT_EQ(F(c.Field).AsString(), c.Error.empty() ? c.Stored : before) << platform::ToUtf8(c.Text);
  }
}

TEST_F(ModelTable, IntegerAssignmentsAndReads) {
  Table().Append();
  for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{65536}, std::int64_t{70000}, std::int64_t{-2147483648LL}}) {
    EXPECT_EQ(Raised([&] { F(u"UnitNo").SetAsInteger(bad); }), platform::IntToStr(bad) + cRange);
    EXPECT_TRUE(F(u"UnitNo").IsNull());
  }
  EXPECT_EQ(F(u"UnitNo").AsInteger(), 0) << "an empty number reads as 0";
  F(u"UnitNo").SetAsInteger(65535);
  EXPECT_EQ(F(u"UnitNo").AsInteger(), 65535);
  F(u"UnitNo").SetAsInteger(0);
  EXPECT_FALSE(F(u"UnitNo").IsNull());
  EXPECT_EQ(F(u"UnitNo").AsString(), u"0");
  F(u"UnitNo").Clear();
  EXPECT_TRUE(F(u"UnitNo").IsNull());
  EXPECT_EQ(F(u"UnitNo").AsString(), u"");
}

TEST_F(ModelTable, FieldsAreAssignedOnlyWhileEditingOrInserting) {
  AddRow(u"4", u"kept", u"");
  EXPECT_NE(Raised([&] { F(u"Model").SetAsString(u"x"); }), u"(no error)");
  EXPECT_NE(Raised([&] { F(u"UnitNo").SetAsInteger(5); }), u"(no error)");
  EXPECT_EQ(Rows(), (std::vector<TRow>{{u"4", u"kept", u""}}));
  EXPECT_NE(Raised([&] { Table().Post(); }), u"(no error)") << "nothing to post in the browse state";
}

TEST_F(ModelTable, CloseDropsThePendingRowAndOpenBringsTheRowsBack) {
  AddRow(u"1", u"a", u"");
  AddRow(u"2", u"b", u"");
  Table().Append();
  F(u"UnitNo").SetAsInteger(3);
  Table().Close();
  EXPECT_FALSE(Table().Active());
  EXPECT_EQ(Table().ViewRowCount(), 0);
  EXPECT_NE(Raised([&] { F(u"Model").AsString(); }), u"(no error)") << "a closed table has no current row";
  EXPECT_NE(Raised([&] { Table().First(); }), u"(no error)");
  Table().Open();
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_TRUE(Table().Bof());
  EXPECT_FALSE(Table().Eof());
  EXPECT_EQ(Rows(), (std::vector<TRow>{{u"1", u"a", u""}, {u"2", u"b", u""}}));
}
