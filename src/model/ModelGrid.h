#pragma once
// The data grid of the model dialog: one column per field of the table behind its data
// source, and what the user's keys, characters and clicks do to that table.
#include <exception>
#include <string>
#include <vector>

#include "model/ModelTable.h"
#include "platform/Grid.h"

namespace model {

class TModelGrid : public platform::TCustomGrid, private TDataLink {
 public:
  // Errors show in the error box over `form`; the focus then goes back to the grid.
  TModelGrid(std::string name, platform::TForm& form, TDataSource& source);
  ~TModelGrid() override;

  int RowCount() const override;
  int ColCount() const override;
  std::u16string Title(int col) const override;
  std::u16string Cell(int row, int col) const override;
  platform::TAlignment ColAlignment(int col) const override;
  int ColWidth(int col) const override;
  platform::TGridIndicator Indicator(int row) const override;
  int Row() const override;
  int Col() const override { return FCol; }
  int TopRow() const override { return FTopRow; }
  int LeftCol() const override { return FLeftCol; }
  int MaxLeftCol() const override;
  bool EditorMode() const override { return FEditorMode; }
  std::u16string EditText() const override { return FEditText; }
  int EditMaxLength() const override;
  bool EditImeAllowed() const override;
  bool AcceptsChar(char16_t c) const override;
  bool EditorPassesKey(platform::TKey key, platform::TShiftState shift, platform::TEditorCaret caret) const override;

  bool UserKeyDown(platform::TKey key, platform::TShiftState shift) override;
  bool UserChar(char16_t c) override;
  void UserEditChanged(const std::u16string& text) override;
  void UserClick(int row, int col, bool twice) override;
  void UserScroll(platform::TScrollBar bar, platform::TScroll by) override;
  void UserScrollTo(platform::TScrollBar bar, int position) override;
  // Leaving for a control that throws the input away (Cancel) checks nothing.
  void UserExit() override;
  void UserColWidth(int col, int width) override;
  void UserViewSize(int visibleRows, int width) override;

  // What leaving the grid does: an untouched new row is dropped, else the cell's text is
  // assigned. False when that failed; the error was shown and the focus is back in the grid.
  bool ExitGrid();
  // The cell's text was changed and not yet assigned to its field.
  bool EditModified() const { return FEditModified; }
  int VisibleRows() const { return FVisibleRows; }

 private:
  void DataEvent(TDataEvent event) override;
  TModelTable& Table() const { return FSource.DataSet(); }
  TField* CurrentField() const;
  bool UntouchedNewRow() const;
  void UpdateData();
  void LoadEditText();
  void ShowEditor();
  void SetCol(int col);
  void NextRow();
  bool KeyDown(platform::TKey key, platform::TShiftState shift);
  void ScrollRows(platform::TScroll by);
  void ScrollCols(int leftCol);
  void KeepRowVisible();
  void KeepColVisible();
  void Changed();
  // Runs one piece of input; an error is shown, and false returned.
  template <class TAction>
  bool Guard(TAction action);
  void ShowError(const std::exception& error);

  platform::TForm& FForm;
  TDataSource& FSource;
  int FCol = 0;
  int FTopRow = 0;
  int FLeftCol = 0;
  int FVisibleRows = 6;
  int FWidth = 0;  // of the client area; 0 until the backend tells
  bool FEditorMode = false;
  std::u16string FEditText;
  bool FEditModified = false;
  std::vector<int> FColWidths;  // widths the user dragged; 0 where the field's width applies
  int FBusy = 0;                // input being handled: the backend hears of changes at its end
  bool FDirty = false;
};

}  // namespace model
