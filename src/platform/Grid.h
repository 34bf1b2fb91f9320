#pragma once
// A grid of text cells whose content and behaviour come from a subclass. The backend only
// translates: it draws the grid's view and hands it the user's keys, characters, clicks and
// scrolling; every decision about them is the grid's.
#include <string>
#include <vector>

#include "platform/Controls.h"

namespace platform {

enum class TGridIndicator { None, Browse, Edit, Insert };
enum class TKey { Up, Down, Left, Right, Home, End, PageUp, PageDown, Tab, Enter, Escape, Insert, Delete, F2 };

struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

enum class TScrollBar { Vertical, Horizontal };
// What a scroll bar asks for; a notch of the mouse wheel is a line.
enum class TScroll { LineBack, LineOn, PageBack, PageOn, Start, End };

// The in-place editor's selection and the length of its text, in UTF-16 units.
struct TEditorCaret {
  int Start = 0;
  int End = 0;
  int Length = 0;
};

// What becomes of a character typed into the in-place editor.
enum class TEditorChar {
  Type,    // the editor takes it as typed
  Drop,    // its key has done its work already (Enter, Tab, Esc)
  Refuse,  // the cell does not take it: the backend beeps
};

// One column as the grid shows it, in client pixels.
struct TGridColumn {
  std::u16string Title;
  TAlignment Alignment = TAlignment::Left;
  int Left = 0;   // while the column is shown, from the view's LeftCol on
  int Width = 0;  // without the grid line that follows it
};

struct TGridRow {
  TGridIndicator Indicator = TGridIndicator::None;
  std::vector<std::u16string> Cells;  // a text per column; the cell being edited shows the editor's text
};

// What a grid shows at one moment: its backend draws this and reads nothing else.
struct TGridView {
  std::vector<TGridColumn> Columns;
  int Right = 0;  // where the shown columns end, past the last one's grid line
  int RowCount = 0;
  // The rows from TopRow on that the client area has room for, and the one it shows in part.
  std::vector<TGridRow> Rows;
  int TopRow = 0;
  int LeftCol = 0;  // the first column shown
  // The last column that may come first: from it on, the columns fit the width; 0 when all fit.
  int MaxLeftCol = 0;
  // The current cell; Row is -1 when there is no row.
  int Row = -1;
  int Col = 0;
  // The in-place editor: whether it is open, its text, its limit (0: none), its input method.
  bool EditorMode = false;
  std::u16string EditText;
  int EditMaxLength = 0;
  bool EditImeAllowed = true;
  // Changes whenever the editor takes up a cell's text anew; the backend then sets its text and
  // selection afresh: all of it selected (the keyboard led there), else the caret after it.
  int EditLoad = 0;
  bool EditSelectAll = false;
};

// What a grid's backend peer measures in the grid's font, in pixels.
class IGridMetrics {
 public:
  virtual int TextWidth(const std::u16string& text) = 0;
  virtual int DigitWidth() = 0;  // of "0"
  virtual int Overhang() = 0;

 protected:
  ~IGridMetrics() = default;
};

class TCustomGrid : public TControl {
 public:
  explicit TCustomGrid(std::string name) : TControl(TControlKind::Grid, std::move(name)) { Color = clWindow; }

  // The client area's columns, in pixels: the indicator column, then the data columns from
  // LeftCol on, each followed by a grid line.
  static constexpr int cIndicatorWidth = 11;
  static constexpr int cLineWidth = 1;

  virtual TGridView View() const = 0;

  // For screen readers, which read every row and column, not only those in view.
  virtual int RowCount() const = 0;
  virtual int ColCount() const = 0;
  std::u16string AccessName;  // the table's
  // A cell; row -1: a column's header; col -1: the row itself; both -1: the titles' row. The
  // in-place editor speaks as its cell.
  virtual TAccessItem AccessCell(int row, int col) const = 0;

  // Input from the backend. Errors are the grid's to show; none comes back.
  virtual bool UserKeyDown(TKey key, TShiftState shift) = 0;  // true when the key had an effect
  // A key pressed in the in-place editor: true when the grid took it, false when it is the editor's.
  virtual bool UserEditorKeyDown(TKey key, TShiftState shift, TEditorCaret caret) = 0;
  virtual bool UserChar(char16_t c) = 0;  // false: refused, the backend beeps
  // A character typed or composed into the in-place editor, whose caret stands as given.
  virtual TEditorChar UserEditorChar(char16_t c, TEditorCaret caret) = 0;
  // The part of a pasted text that the in-place editor takes in place of its selection.
  virtual std::u16string UserEditorPaste(const std::u16string& text, TEditorCaret caret) = 0;
  virtual void UserEditChanged(const std::u16string& text) = 0;  // the editor's text now
  // twice: a double click; col -1: the row's indicator cell.
  virtual void UserClick(int row, int col, bool twice) = 0;
  virtual void UserScroll(TScrollBar bar, TScroll by) = 0;
  virtual void UserScrollTo(TScrollBar bar, int position) = 0;  // the thumb dragged to a row or column
  virtual void UserExit() = 0;  // the focus left the grid for another control of its form
  virtual void UserColWidth(int col, int width) = 0;
  // The client area now shows this many whole rows and is this wide.
  virtual void UserViewSize(int visibleRows, int width) = 0;

  // The backend redraws and re-reads the editor.
  void Invalidate() { Notify(TProperty::Content); }
  // The peer's measurements; null while the grid has no peer.
  IGridMetrics* Metrics() const { return dynamic_cast<IGridMetrics*>(Peer()); }
  // Tells screen readers of a change, through a peer that passes it on.
  void Announce(TAccessEvent event, int row, int col) {
    if (auto* announcer = dynamic_cast<IAccessAnnouncer*>(Peer())) announcer->Announce(event, row, col);
  }
};

}  // namespace platform
