#pragma once
// A grid of text cells whose content and behaviour come from a subclass: the backend draws
// what the grid reports and hands it the user's keys, characters and clicks.
#include <string>

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
  // Left edge of a data column shown from LeftCol on.
  int ColLeft(int col) const;

  // Content in data rows and columns; the title row and the indicator column come on top.
  virtual int RowCount() const = 0;
  virtual int ColCount() const = 0;
  virtual std::u16string Title(int col) const = 0;
  // What the cell shows: for the cell being edited, the editor's text.
  virtual std::u16string Cell(int row, int col) const = 0;
  virtual TAlignment ColAlignment(int col) const = 0;
  virtual int ColWidth(int col) const = 0;
  virtual TGridIndicator Indicator(int row) const = 0;

  // Current cell (Row -1 when there is no row), the first row and column shown, and the
  // in-place editor.
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual int TopRow() const = 0;
  virtual int LeftCol() const = 0;
  // The last column that may come first: from it on, the columns fit the width; 0 when all fit.
  virtual int MaxLeftCol() const = 0;
  virtual bool EditorMode() const = 0;
  virtual std::u16string EditText() const = 0;
  virtual int EditMaxLength() const = 0;  // 0: no limit
  virtual bool EditImeAllowed() const = 0;
  // Whether the current cell takes this typed character; control characters always pass.
  virtual bool AcceptsChar(char16_t c) const = 0;
  // Whether a key pressed in the in-place editor is the grid's rather than the editor's.
  virtual bool EditorPassesKey(TKey key, TShiftState shift, TEditorCaret caret) const = 0;

  // Input from the backend. Errors are the grid's to show; none comes back.
  virtual bool UserKeyDown(TKey key, TShiftState shift) = 0;  // true when the key had an effect
  virtual bool UserChar(char16_t c) = 0;                        // false: refused, the backend beeps
  virtual void UserEditChanged(const std::u16string& text) = 0;  // the editor's text now
  virtual void UserClick(int row, int col, bool twice) = 0;     // twice: a double click
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
};

}  // namespace platform
