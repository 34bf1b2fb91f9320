#pragma once
// The main window on the stand-in backend with its model table, and a way to reach the
// table's store and to read the table's rows without moving its cursor.
#include <string>
#include <vector>

#include "app/AppFixture.h"
#include "model/ModelTable.h"

namespace app {

struct TModelStoreAccess {
  static void Create(TfrmMain& form) { form.CreateModelTable(); }
  static void Load(TfrmMain& form, const std::u16string& licence) { form.LoadModelTable(licence); }
  static void Save(TfrmMain& form, const std::u16string& licence) { form.SaveModelTable(licence); }
};

}  // namespace app

namespace quorvel_test {

// One row as the views show it; an empty UnitNo is a row without a number.
struct TRow {
  std::u16string UnitNo, Model, Comment;
  bool operator==(const TRow&) const = default;
};

inline void PrintTo(const TRow& row, std::ostream* out) {
  *out << "(" << platform::ToUtf8(row.UnitNo) << ", " << platform::ToUtf8(row.Model) << ", "
       << platform::ToUtf8(row.Comment) << ")";
}

class TModelTest : public TAppTest {
 public:  // table-driven steps reach the fixture through a reference
  model::TModelTable& Table() { return Form->cdsModel; }
  void Load(const std::u16string& licence) { app::TModelStoreAccess::Load(*Form, licence); }
  void Save(const std::u16string& licence) { app::TModelStoreAccess::Save(*Form, licence); }

  // Every row the views show, the pending one included, in table order.
  std::vector<TRow> Rows() {
    std::vector<TRow> rows;
    model::TModelTable& table = Table();
    rows.reserve(static_cast<std::size_t>(table.ViewRowCount()));
    for (int row = 0; row < table.ViewRowCount(); ++row)
      rows.push_back({table.ViewText(row, 0), table.ViewText(row, 1), table.ViewText(row, 2)});
    return rows;
  }

  // Appends and posts a row; an empty unit number leaves the field empty.
  void AddRow(const std::u16string& unitNo, const std::u16string& modelText, const std::u16string& comment) {
    model::TModelTable& table = Table();
    table.Append();
    table.FieldByName(u"UnitNo").SetAsString(unitNo);
    table.FieldByName(u"Model").SetAsString(modelText);
    table.FieldByName(u"Comment").SetAsString(comment);
    table.Post();
  }

  // The error texts the error box showed since the last call.
  std::vector<std::u16string> TakeErrors() {
    std::vector<std::u16string> texts;
    for (const auto& error : Os().DialogsImpl.Errors) texts.push_back(error.Text);
    Os().DialogsImpl.Errors.clear();
    return texts;
  }

  static std::string Section(const std::string& name, const std::string& lines) {
    return "[" + name + "]\r\n" + lines + "\r\n";
  }
};

}  // namespace quorvel_test
