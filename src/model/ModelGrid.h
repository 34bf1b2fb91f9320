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
  TModelGrid(const TModelGrid&) = delete;
  TModelGrid& operator=(const TModelGrid&) = delete;

  platform::TGridView View() const override;

  // Content in data rows and columns; the title row and the indicator column come on top.
  int RowCount() const override;
  int ColCount() const override;
  std::u16string Title(int col) const;
  // What the cell shows: for the cell being edited, the editor's text.
  std::u16string Cell(int row, int col) const;
  platform::TAlignment ColAlignment(int col) const;
  int ColWidth(int col) const;
  // Left edge of a data column shown from LeftCol on.
  int ColLeft(int col) const;
  platform::TGridIndicator Indicator(int row) const;
  // The current cell (Row -1 when there is no row) and the first column shown.
  int Row() const;
  int Col() const { return FCol; }
  int LeftCol() const { return FLeftCol; }
  int MaxLeftCol() const;
  int EditMaxLength() const;  // 0: no limit
  bool EditImeAllowed() const;
  // Whether the current cell takes this typed character; control characters always pass.
  bool AcceptsChar(char16_t c) const;
  // Whether a key pressed in the in-place editor is the grid's rather than the editor's.
  bool EditorPassesKey(platform::TKey key, platform::TShiftState shift, platform::TEditorCaret caret) const;
  // Cells are named "<column title>, row N", valued by their text as shown.
  platform::TAccessItem AccessCell(int row, int col) const override;

  bool UserKeyDown(platform::TKey key, platform::TShiftState shift) override;
  bool UserEditorKeyDown(platform::TKey key, platform::TShiftState shift, platform::TEditorCaret caret) override;
  bool UserChar(char16_t c) override;
  platform::TEditorChar UserEditorChar(char16_t c, platform::TEditorCaret caret) override;
  std::u16string UserEditorPaste(const std::u16string& text, platform::TEditorCaret caret) override;
  void UserEditChanged(const std::u16string& text) override;
  void UserClick(int row, int col, bool twice) override;
  void UserScroll(platform::TScrollBar bar, platform::TScroll by) override;
  void UserScrollTo(platform::TScrollBar bar, int position) override;
  // Leaving for a control that throws the input away (Cancel) checks nothing.
  void UserExit() override;
  void UserColWidth(int col, int width) override;
  void UserViewSize(int visibleRows, int width) override;
  // While the form is hidden the backend hears of no change; shown again, it redraws once.
  // Screen readers first look when it is first shown.
  void ShowingChanged() override;

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
  void Flush();
  // Tells screen readers what changed since they last heard.
  void AnnounceChanges();
  std::vector<std::u16string> RowTexts(int row) const;
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
  int FEditLoad = 0;            // counts the editor's loads of a cell's text
  bool FEditSelectAll = false;  // that text shows selected
  bool FSelectOnLoad = false;   // a key is being handled: a text loaded now shows selected
  std::vector<int> FColWidths;  // widths the user dragged; 0 where the field's width applies
  int FBusy = 0;                // input being handled: the backend hears of changes at its end
  bool FDirty = false;
  // What screen readers last heard of: the current cell, whether its row was being edited, the
  // row count and the texts of the rows from First on around the current one.
  struct TAnnounced {
    bool Known = false;
    int Row = -1;
    int Col = 0;
    bool Editing = false;
    int Rows = 0;
    int First = 0;
    std::vector<std::vector<std::u16string>> Near;
  };
  TAnnounced Look() const;
  TAnnounced FAnnounced;
};

}  // namespace model
