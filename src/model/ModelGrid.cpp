#include "model/ModelGrid.h"

#include <algorithm>

#include "app/ErrorBox.h"
#include "model/ModelConfirm.h"
#include "platform/Text.h"

namespace model {

using platform::TKey;

TModelGrid::TModelGrid(std::string name, platform::TForm& form, TDataSource& source)
    : TCustomGrid(std::move(name)), FForm(form), FSource(source) {
  FSource.AddLink(this);
  LoadEditText();
}

TModelGrid::~TModelGrid() { FSource.RemoveLink(this); }

int TModelGrid::RowCount() const { return Table().ViewRowCount(); }

int TModelGrid::ColCount() const { return Table().FieldCount(); }

std::u16string TModelGrid::Title(int col) const { return Table().Fields(col).DisplayLabel; }

std::u16string TModelGrid::Cell(int row, int col) const {
  if (row == Row() && col == FCol && (FEditorMode || FEditModified)) return FEditText;
  return Table().ViewText(row, col);
}

platform::TAlignment TModelGrid::ColAlignment(int col) const { return Table().Fields(col).Alignment; }

int TModelGrid::ColWidth(int col) const {
  if (col >= 0 && col < static_cast<int>(FColWidths.size()) && FColWidths[static_cast<std::size_t>(col)] > 0)
    return FColWidths[static_cast<std::size_t>(col)];
  const TField& field = Table().Fields(col);
  platform::IGridPeer* peer = GridPeer();
  if (!peer) return 64;
  const int overhang = peer->Overhang();
  const int width = (peer->DigitWidth() - overhang) * field.DisplayWidth + overhang + 4;
  return std::max(width, peer->TextWidth(field.DisplayLabel) + 4);
}

platform::TGridIndicator TModelGrid::Indicator(int row) const {
  if (row < 0 || row != Row()) return platform::TGridIndicator::None;
  switch (Table().State()) {
    case TDataSetState::Edit:
      return platform::TGridIndicator::Edit;
    case TDataSetState::Insert:
      return platform::TGridIndicator::Insert;
    default:
      return platform::TGridIndicator::Browse;
  }
}

int TModelGrid::Row() const { return Table().ViewRow(); }

TField* TModelGrid::CurrentField() const {
  if (FCol < 0 || FCol >= Table().FieldCount()) return nullptr;
  return &Table().Fields(FCol);
}

int TModelGrid::EditMaxLength() const {
  const TField* field = CurrentField();
  return field && field->DataType == TFieldType::WideString ? field->Size : 0;
}

bool TModelGrid::EditImeAllowed() const {
  const TField* field = CurrentField();
  return !field || field->DataType != TFieldType::Word;
}

bool TModelGrid::AcceptsChar(char16_t c) const {
  const TField* field = CurrentField();
  if (c < u' ' || !field || field->DataType != TFieldType::Word) return true;
  return (c >= u'0' && c <= u'9') || c == u'+';
}

bool TModelGrid::UntouchedNewRow() const {
  return Table().State() == TDataSetState::Insert && !Table().Modified() && !FEditModified;
}

void TModelGrid::LoadEditText() {
  int row = Table().Active() ? Row() : -1;
  FEditText = row >= 0 ? Table().ViewText(row, FCol) : std::u16string();
}

void TModelGrid::UpdateData() {
  if (!FEditModified) return;
  TField* field = CurrentField();
  if (!field) return;
  const std::u16string text = FEditText;
  if (Table().State() == TDataSetState::Browse) {
    Table().Edit();
    FEditText = text;
    FEditModified = true;
  }
  field->SetAsString(text);
  FEditModified = false;
  LoadEditText();
  Changed();
}

void TModelGrid::ShowEditor() {
  if (Row() < 0) return;
  FEditorMode = true;
  if (!FEditModified) LoadEditText();
  Changed();
}

void TModelGrid::SetCol(int col) {
  col = std::clamp(col, 0, std::max(0, ColCount() - 1));
  if (col == FCol) return;
  UpdateData();
  FCol = col;
  LoadEditText();
  Changed();
}

void TModelGrid::NextRow() {
  TModelTable& table = Table();
  if (UntouchedNewRow()) {
    if (!table.PendingAtEnd()) table.Cancel();
    return;
  }
  table.Next();
  if (table.Eof()) table.Append();
}

void TModelGrid::PriorRow() {
  TModelTable& table = Table();
  if (UntouchedNewRow() && table.PendingAtEnd()) {
    table.Cancel();
    return;
  }
  table.Prior();
}

bool TModelGrid::KeyDown(TKey key, platform::TShiftState shift) {
  TModelTable& table = Table();
  if (!table.Active()) return false;
  const int lastCol = std::max(0, ColCount() - 1);
  switch (key) {
    case TKey::Up:
      PriorRow();
      return true;
    case TKey::Down:
      NextRow();
      return true;
    case TKey::PageUp:
      table.MoveBy(-FVisibleRows);
      return true;
    case TKey::PageDown:
      table.MoveBy(FVisibleRows);
      return true;
    case TKey::Left:
      SetCol(FCol - 1);
      return true;
    case TKey::Right:
      SetCol(FCol + 1);
      return true;
    case TKey::Home:
      if (shift.Ctrl) {
        table.First();
      } else {
        SetCol(0);
      }
      return true;
    case TKey::End:
      if (shift.Ctrl) {
        table.Last();
      } else {
        SetCol(lastCol);
      }
      return true;
    case TKey::Tab:
      if (shift.Alt) return false;
      if (shift.Shift) {
        if (FCol > 0) {
          SetCol(FCol - 1);
        } else {
          PriorRow();
          SetCol(lastCol);
        }
      } else {
        if (FCol < lastCol) {
          SetCol(FCol + 1);
        } else {
          NextRow();
          SetCol(0);
        }
      }
      return true;
    case TKey::Enter:
      if (FEditorMode) {
        UpdateData();
        FEditorMode = false;
        Changed();
      } else {
        ShowEditor();
      }
      return true;
    case TKey::F2:
      ShowEditor();
      return true;
    case TKey::Escape:
      if (FEditModified) {
        FEditModified = false;
        LoadEditText();
      } else {
        table.Cancel();
      }
      FEditorMode = false;
      Changed();
      return true;
    case TKey::Insert:
      if (shift.Shift || shift.Ctrl || shift.Alt) return false;
      table.Insert();
      return true;
    case TKey::Delete:
      if (!shift.Ctrl) return false;
      if (!table.IsEmpty() && ConfirmDelete(FForm)) table.Delete();
      return true;
  }
  return false;
}

bool TModelGrid::UserKeyDown(TKey key, platform::TShiftState shift) {
  bool handled = true;
  Guard([&] { handled = KeyDown(key, shift); });
  return handled;
}

bool TModelGrid::UserChar(char16_t c) {
  if (c < u' ') return true;  // Enter, Tab, Esc and Backspace are the keys' business
  if (!AcceptsChar(c)) return false;
  Guard([&] {
    if (!Table().Active() || !CurrentField()) return;
    // Editing starts first: on an empty table it brings the new row the text goes into.
    Table().Edit();
    FEditText.assign(1, c);
    FEditModified = true;
    FEditorMode = true;
    Changed();
  });
  return true;
}

void TModelGrid::UserEditChanged(const std::u16string& text) {
  Guard([&] {
    if (!Table().Active() || !CurrentField()) return;
    if (text == FEditText && FEditModified) return;
    if (Table().State() == TDataSetState::Browse) Table().Edit();
    const int limit = EditMaxLength();
    FEditText = limit > 0 ? std::u16string(platform::CutUnits(text, static_cast<std::size_t>(limit))) : text;
    FEditModified = true;
    FEditorMode = true;
    Changed();
  });
}

void TModelGrid::UserClick(int row, int col) {
  Guard([&] {
    if (!Table().Active() || row < 0 || row >= RowCount() || col < 0 || col >= ColCount()) return;
    if (row == Row() && col == FCol) {
      ShowEditor();
      return;
    }
    SetCol(col);
    Table().MoveToView(row);
  });
}

void TModelGrid::UserScrollTo(int row) {
  Guard([&] {
    if (!Table().Active() || RowCount() == 0) return;
    Table().MoveToView(std::clamp(row, 0, RowCount() - 1));
  });
}

bool TModelGrid::ExitGrid() {
  return Guard([&] {
    if (!Table().Active()) return;
    if (UntouchedNewRow()) {
      Table().Cancel();
    } else {
      UpdateData();
    }
  });
}

void TModelGrid::UserColWidth(int col, int width) {
  if (col < 0 || col >= ColCount()) return;
  if (FColWidths.size() < static_cast<std::size_t>(ColCount())) FColWidths.resize(static_cast<std::size_t>(ColCount()), 0);
  FColWidths[static_cast<std::size_t>(col)] = std::max(width, 4);
  Changed();
}

void TModelGrid::UserVisibleRows(int count) {
  FVisibleRows = std::max(count, 1);
  KeepRowVisible();
  Changed();
}

void TModelGrid::KeepRowVisible() {
  const int row = Row();
  if (row >= 0) {
    if (row < FTopRow) FTopRow = row;
    if (row >= FTopRow + FVisibleRows) FTopRow = row - FVisibleRows + 1;
  }
  FTopRow = std::clamp(FTopRow, 0, std::max(0, RowCount() - FVisibleRows));
}

void TModelGrid::DataEvent(TDataEvent event) {
  switch (event) {
    case TDataEvent::UpdateRecord:
      UpdateData();
      return;
    case TDataEvent::DataSetChange:
      // The row changed under the cell: what was typed there is gone.
      FEditModified = false;
      if (RowCount() == 0) FEditorMode = false;
      LoadEditText();
      break;
    case TDataEvent::FieldChange:
      if (!FEditModified) LoadEditText();
      break;
    case TDataEvent::StateChange:
      break;
  }
  KeepRowVisible();
  Changed();
}

void TModelGrid::Changed() {
  if (FBusy > 0) {
    FDirty = true;
  } else {
    Invalidate();
  }
}

template <class TAction>
bool TModelGrid::Guard(TAction action) {
  bool ok = true;
  ++FBusy;
  try {
    action();
  } catch (const std::exception& error) {
    ok = false;
    --FBusy;
    FDirty = false;
    Invalidate();
    ShowError(error);
    return ok;
  }
  --FBusy;
  if (FBusy == 0 && FDirty) {
    FDirty = false;
    Invalidate();
  }
  return ok;
}

void TModelGrid::ShowError(const std::exception& error) {
  app::ShowException(error, FForm.Handle());
  FForm.SetFocus(this);
}

}  // namespace model
