#include "model/ModelGrid.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "model/ModelConfirm.h"
#include "platform/AtExit.h"
#include "platform/ErrorBox.h"
#include "platform/Text.h"

namespace model {

using platform::TKey;

TModelGrid::TModelGrid(std::string name, platform::TForm& form, TDataSource& source)
    : TCustomGrid(std::move(name)), FForm(form), FSource(source) {
  AccessName = u"Model table";
  FSource.AddLink(this);
  LoadEditText();
}

TModelGrid::~TModelGrid() { FSource.RemoveLink(this); }

platform::TGridView TModelGrid::View() const {
  platform::TGridView view;
  const int cols = ColCount();
  for (int col = 0; col < cols; ++col)
    view.Columns.push_back({Title(col), ColAlignment(col), ColLeft(col), ColWidth(col)});
  view.Right = ColLeft(cols);
  view.RowCount = RowCount();
  view.TopRow = FTopRow;
  view.LeftCol = FLeftCol;
  view.MaxLeftCol = MaxLeftCol();
  view.Row = Row();
  view.Col = FCol;
  const int shown = std::min(view.RowCount - FTopRow, FVisibleRows + 1);
  for (int row = FTopRow; row < FTopRow + shown; ++row) {
    platform::TGridRow& line = view.Rows.emplace_back();
    line.Indicator = Indicator(row);
    for (int col = 0; col < cols; ++col) line.Cells.push_back(Cell(row, col));
  }
  view.EditorMode = FEditorMode;
  view.EditText = FEditText;
  view.EditMaxLength = EditMaxLength();
  view.EditImeAllowed = EditImeAllowed();
  view.EditLoad = FEditLoad;
  view.EditSelectAll = FEditSelectAll;
  return view;
}

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
  platform::IGridMetrics* metrics = Metrics();
  if (!metrics) return 64;
  const int overhang = metrics->Overhang();
  const int width = (metrics->DigitWidth() - overhang) * field.DisplayWidth + overhang + 4;
  return std::max(width, metrics->TextWidth(field.DisplayLabel) + 4);
}

int TModelGrid::ColLeft(int col) const {
  int left = cIndicatorWidth + cLineWidth;
  for (int c = FLeftCol; c < col; ++c) left += ColWidth(c) + cLineWidth;
  return left;
}

platform::TGridIndicator TModelGrid::Indicator(int row) const {
  if (row < 0 || row != Row()) return platform::TGridIndicator::None;
  switch (Table().State()) {
    case TDataSetState::Edit: return platform::TGridIndicator::Edit;
    case TDataSetState::Insert: return platform::TGridIndicator::Insert;
    default: return platform::TGridIndicator::Browse;
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

bool TModelGrid::EditorPassesKey(TKey key, platform::TShiftState shift, platform::TEditorCaret caret) const {
  const bool all = caret.Start == 0 && caret.End == caret.Length;
  const bool atStart = caret.Start == 0 && caret.End == 0;
  const bool atEnd = caret.Start == caret.Length && caret.End == caret.Length;
  switch (key) {
    case TKey::Up:
    case TKey::Down:
    case TKey::PageUp:
    case TKey::PageDown:
    case TKey::Escape:
    case TKey::Enter:
    case TKey::Tab: return true;
    case TKey::Insert: return !shift.Shift && !shift.Ctrl;
    case TKey::Delete: return shift.Ctrl;
    // Arrows move between cells only once the caret cannot go further in the text.
    case TKey::Left: return atStart || all;
    case TKey::Home: return shift.Ctrl || atStart || all;
    case TKey::Right: return atEnd || all;
    case TKey::End: return shift.Ctrl || atEnd || all;
    case TKey::F2: return false;
  }
  return false;
}

platform::TAccessItem TModelGrid::AccessCell(int row, int col) const {
  using namespace platform;
  TAccessItem item;
  if (row >= RowCount() || col >= ColCount()) return item;
  const unsigned fixed = Table().Active() ? 0u : unsigned{asReadOnly};
  if (row < 0) {
    item.Name = col < 0 ? u"Titles" : Title(col);
    item.State = asReadOnly;
    return item;
  }
  const std::u16string number = IntToStr(row + 1);
  const bool current = row == Row();
  if (col < 0) {
    item.Name = u"Row " + number;
    for (int c = 0; c < ColCount(); ++c) item.Value += (c > 0 ? u"; " : u"") + Cell(row, c);
    item.State = (current ? unsigned{asSelected} : 0u) | fixed;
    return item;
  }
  item.Name = Title(col) + u", row " + number;
  item.Value = Cell(row, col);
  item.State = fixed;
  if (current && col == FCol) item.State |= asSelected | (FForm.Focused() == this ? unsigned{asFocused} : 0u);
  return item;
}

bool TModelGrid::UntouchedNewRow() const {
  return Table().State() == TDataSetState::Insert && !Table().Modified() && !FEditModified;
}

void TModelGrid::LoadEditText() {
  int row = Table().Active() ? Row() : -1;
  FEditText = row >= 0 ? Table().ViewText(row, FCol) : std::u16string();
  ++FEditLoad;
  FEditSelectAll = FSelectOnLoad;
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
  KeepColVisible();
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

bool TModelGrid::KeyDown(TKey key, platform::TShiftState shift) {
  TModelTable& table = Table();
  if (!table.Active()) return false;
  const int lastCol = std::max(0, ColCount() - 1);
  switch (key) {
    case TKey::Up: table.Prior(); return true;
    case TKey::Down: NextRow(); return true;
    case TKey::PageUp: table.MoveBy(-FVisibleRows); return true;
    case TKey::PageDown: table.MoveBy(FVisibleRows); return true;
    case TKey::Left: SetCol(FCol - 1); return true;
    case TKey::Right: SetCol(FCol + 1); return true;
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
      // Ctrl+Tab leaves the grid, as Tab leaves other controls.
      if (shift.Ctrl) {
        FForm.SelectNext(this, !shift.Shift);
        return true;
      }
      if (shift.Shift) {
        if (FCol > 0) {
          SetCol(FCol - 1);
        } else {
          table.Prior();
          SetCol(lastCol);
        }
      } else if (FCol < lastCol) {
        SetCol(FCol + 1);
      } else if (!(UntouchedNewRow() && table.PendingAtEnd())) {
        NextRow();
        SetCol(0);
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
    case TKey::F2: ShowEditor(); return true;
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
      // The pending new row of an empty table is a row too: deleting it drops it.
      if (table.ViewRowCount() > 0 && ConfirmDelete(FForm)) table.Delete();
      return true;
  }
  return false;
}

bool TModelGrid::UserKeyDown(TKey key, platform::TShiftState shift) {
  // The cell the keyboard leads to shows its text selected, so that typing replaces it, as
  // without an editor; F2 puts the caret after it.
  FSelectOnLoad = key != TKey::F2;
  const platform::TAtExit keyDone([this] { FSelectOnLoad = false; });
  bool handled = true;
  Guard([&] { handled = KeyDown(key, shift); });
  return handled;
}

bool TModelGrid::UserEditorKeyDown(TKey key, platform::TShiftState shift, platform::TEditorCaret caret) {
  return EditorPassesKey(key, shift, caret) && UserKeyDown(key, shift);
}

namespace {

bool IsLeadSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsTrailSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// What the editor's limit leaves for text typed over its selection; -1: no limit.
int Room(int limit, platform::TEditorCaret caret) {
  return limit > 0 ? std::max(0, limit - (caret.Length - std::abs(caret.End - caret.Start))) : -1;
}

}  // namespace

platform::TEditorChar TModelGrid::UserEditorChar(char16_t c, platform::TEditorCaret caret) {
  using platform::TEditorChar;
  if (c == u'\r' || c == u'\n' || c == u'\t' || c == 0x1B) return TEditorChar::Drop;
  if (!AcceptsChar(c)) return TEditorChar::Refuse;
  // A character beyond U+FFFF comes as two units: the first only where both fit, the second
  // only after the first. The editor's own limit counts units and would keep half a pair.
  const int room = Room(EditMaxLength(), caret);
  if (IsLeadSurrogate(c) && room >= 0 && room < 2) return TEditorChar::Drop;
  const int before = std::min(caret.Start, caret.End) - 1;
  if (IsTrailSurrogate(c) &&
      (before < 0 || before >= static_cast<int>(FEditText.size()) || !IsLeadSurrogate(FEditText[before])))
    return TEditorChar::Drop;
  return TEditorChar::Type;
}

std::u16string TModelGrid::UserEditorPaste(const std::u16string& text, platform::TEditorCaret caret) {
  // A one-line editor takes the text up to its first line break.
  std::u16string_view line(text);
  line = line.substr(0, line.find_first_of(u"\r\n"));
  const int room = Room(EditMaxLength(), caret);
  return std::u16string(room < 0 ? line : platform::CutUnits(line, static_cast<std::size_t>(room)));
}

bool TModelGrid::UserChar(char16_t c) {
  if (c < u' ') return true;  // Enter, Tab, Esc and Backspace are the keys' business
  if (!AcceptsChar(c)) return false;
  bool taken = true;
  Guard([&] {
    if (!Table().Active() || !CurrentField()) return;
    // Editing starts first: on an empty table it brings the new row the text goes into.
    Table().Edit();
    if (FEditorMode && FEditModified) {
      // Characters that reach the grid while its editor opens (an input method commits a
      // burst) follow the first one instead of replacing it.
      const int limit = EditMaxLength();
      const int need = IsLeadSurrogate(c) ? 2 : 1;  // a pair goes in whole or not at all
      if ((limit > 0 && static_cast<int>(FEditText.size()) + need > limit) ||
          (IsTrailSurrogate(c) && !IsLeadSurrogate(FEditText.back()))) {
        taken = false;
        return;
      }
      FEditText.push_back(c);
    } else {
      if (IsTrailSurrogate(c)) {
        taken = false;
        return;
      }
      FEditText.assign(1, c);
    }
    FEditModified = true;
    FEditorMode = true;
    KeepColVisible();
    Changed();
  });
  return taken;
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

void TModelGrid::UserClick(int row, int col, bool twice) {
  Guard([&] {
    if (!Table().Active() || row < 0 || row >= RowCount() || col < -1 || col >= ColCount()) return;
    // The row's indicator cell makes that row current; the column stays.
    if (col < 0) {
      Table().MoveToView(row);
      return;
    }
    // A click on the current cell, or a double click anywhere, opens the editor.
    if (row == Row() && col == FCol) {
      ShowEditor();
      return;
    }
    SetCol(col);
    Table().MoveToView(row);
    if (twice) ShowEditor();
  });
}

// Scrolling moves through the rows that exist: unlike Down on the last row, it never starts one.
void TModelGrid::ScrollRows(platform::TScroll by) {
  TModelTable& table = Table();
  using platform::TScroll;
  switch (by) {
    case TScroll::LineBack: table.MoveBy(-1); break;
    case TScroll::LineOn: table.MoveBy(1); break;
    case TScroll::PageBack: table.MoveBy(-FVisibleRows); break;
    case TScroll::PageOn: table.MoveBy(FVisibleRows); break;
    case TScroll::Start: table.First(); break;
    case TScroll::End: table.Last(); break;
  }
}

// The columns scroll as a view only: the current cell stays where it is.
void TModelGrid::ScrollCols(int leftCol) {
  leftCol = std::clamp(leftCol, 0, MaxLeftCol());
  if (leftCol == FLeftCol) return;
  FLeftCol = leftCol;
  Changed();
}

void TModelGrid::UserScroll(platform::TScrollBar bar, platform::TScroll by) {
  Guard([&] {
    if (!Table().Active()) return;
    if (bar == platform::TScrollBar::Vertical) {
      ScrollRows(by);
      return;
    }
    using platform::TScroll;
    const bool back = by == TScroll::LineBack || by == TScroll::PageBack;
    const bool on = by == TScroll::LineOn || by == TScroll::PageOn;
    ScrollCols(back ? FLeftCol - 1 : on ? FLeftCol + 1 : by == TScroll::Start ? 0 : MaxLeftCol());
  });
}

void TModelGrid::UserScrollTo(platform::TScrollBar bar, int position) {
  Guard([&] {
    if (bar == platform::TScrollBar::Horizontal) {
      ScrollCols(position);
      return;
    }
    if (!Table().Active() || RowCount() == 0) return;
    Table().MoveToView(std::clamp(position, 0, RowCount() - 1));
  });
}

void TModelGrid::UserExit() {
  const platform::TControl* to = FForm.Focused();
  if (to && to->DiscardsInput) return;
  ExitGrid();
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
  if (FColWidths.size() < static_cast<std::size_t>(ColCount()))
    FColWidths.resize(static_cast<std::size_t>(ColCount()), 0);
  FColWidths[static_cast<std::size_t>(col)] = std::max(width, 4);
  KeepColVisible();
  Changed();
}

void TModelGrid::UserViewSize(int visibleRows, int width) {
  FVisibleRows = std::max(visibleRows, 1);
  FWidth = std::max(width, 0);
  KeepRowVisible();
  KeepColVisible();
  Changed();
}

int TModelGrid::MaxLeftCol() const {
  if (FWidth <= 0) return 0;
  // The last column's grid line may fall outside.
  int used = cIndicatorWidth;
  for (int col = ColCount() - 1; col >= 0; --col) {
    used += cLineWidth + ColWidth(col);
    if (used > FWidth) return std::min(col + 1, ColCount() - 1);
  }
  return 0;
}

void TModelGrid::KeepColVisible() {
  if (FCol < FLeftCol) FLeftCol = FCol;
  if (FWidth > 0)
    while (FLeftCol < FCol && ColLeft(FCol) + ColWidth(FCol) > FWidth) ++FLeftCol;
  FLeftCol = std::clamp(FLeftCol, 0, MaxLeftCol());
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
    case TDataEvent::UpdateRecord: UpdateData(); return;
    case TDataEvent::DataSetChange:
      // The row changed under the cell: what was typed there is gone.
      FEditModified = false;
      if (RowCount() == 0) FEditorMode = false;
      LoadEditText();
      break;
    case TDataEvent::FieldChange:
      if (!FEditModified) LoadEditText();
      break;
    case TDataEvent::StateChange: break;
  }
  KeepRowVisible();
  Changed();
}

void TModelGrid::ShowingChanged() {
  Flush();
  if (!FAnnounced.Known && FForm.Showing()) AnnounceChanges();
}

void TModelGrid::Changed() {
  FDirty = true;
  Flush();
}

// The backend hears of changes once the input that made them is handled, and only while the
// grid's form is shown: a save walking the table behind the hidden dialog redraws nothing.
void TModelGrid::Flush() {
  if (FBusy > 0 || !FDirty || !FForm.Showing()) return;
  FDirty = false;
  Invalidate();
  AnnounceChanges();
}

std::vector<std::u16string> TModelGrid::RowTexts(int row) const {
  std::vector<std::u16string> texts(static_cast<std::size_t>(ColCount()));
  for (int col = 0; col < ColCount(); ++col) texts[static_cast<std::size_t>(col)] = Cell(row, col);
  return texts;
}

// Only the current row's texts change, and a row that moves takes a neighbour's place: the
// rows around the current one tell what an input did, whatever the table's size.
TModelGrid::TAnnounced TModelGrid::Look() const {
  const platform::TGridIndicator indicator = Indicator(Row());
  TAnnounced look{
      true,       Row(),
      FCol,       indicator == platform::TGridIndicator::Edit || indicator == platform::TGridIndicator::Insert,
      RowCount(), std::max(0, Row() - 1),
      {}};
  for (int row = look.First; row < std::min(look.Rows, Row() + 2); ++row) look.Near.push_back(RowTexts(row));
  return look;
}

void TModelGrid::AnnounceChanges() {
  using platform::TAccessEvent;
  const TAnnounced was = std::exchange(FAnnounced, Look());
  const TAnnounced& is = FAnnounced;
  if (!was.Known) return;  // the first look: nothing has changed for a reader yet
  // A row edited in place changes its own texts; one that moved, a neighbour's too.
  std::vector<std::pair<int, std::vector<std::u16string>>> changed;  // row, its texts now
  if (was.Rows == is.Rows)
    for (std::size_t k = 0; k < was.Near.size(); ++k) {
      const int row = was.First + static_cast<int>(k);
      if (std::vector<std::u16string> now = RowTexts(row); now != was.Near[k])
        changed.emplace_back(row, std::move(now));
    }
  const bool reordered = was.Rows != is.Rows || changed.size() > 1;
  if (reordered) {
    Announce(TAccessEvent::Reorder, -1, -1);
  } else if (!changed.empty()) {
    const auto& [row, after] = changed[0];
    const std::vector<std::u16string>& before = was.Near[static_cast<std::size_t>(row - was.First)];
    for (std::size_t col = 0; col < after.size(); ++col)
      if (col >= before.size() || before[col] != after[col])
        Announce(TAccessEvent::ValueChange, row, static_cast<int>(col));
  }
  // The indicator shows a row entering or leaving editing; after a reorder the current row may
  // be another one, even at the same place.
  const bool sameRow = was.Row == is.Row && !reordered;
  const bool left = was.Editing && !(is.Editing && sameRow);
  const bool entered = is.Editing && !(was.Editing && sameRow);
  if (left && was.Row < RowCount() && !(entered && was.Row == is.Row)) Announce(TAccessEvent::StateChange, was.Row, -1);
  if (entered) Announce(TAccessEvent::StateChange, is.Row, -1);
  if (is.Row >= 0 && (!sameRow || was.Col != is.Col)) Announce(TAccessEvent::Focus, is.Row, is.Col);
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
    FDirty = true;
    Flush();
    ShowError(error);
    return ok;
  }
  --FBusy;
  Flush();
  return ok;
}

void TModelGrid::ShowError(const std::exception& error) {
  platform::ShowException(error, FForm.Handle());
  FForm.SetFocus(this);
}

}  // namespace model
