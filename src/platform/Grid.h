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

// What a grid's backend peer measures in the grid's font, in pixels.
class IGridPeer : public IControlPeer {
 public:
  virtual int TextWidth(const std::u16string& text) = 0;
  virtual int DigitWidth() = 0;  // of "0"
  virtual int Overhang() = 0;
};

class TCustomGrid : public TControl {
 public:
  explicit TCustomGrid(std::string name) : TControl(TControlKind::Custom, std::move(name)) { Color = clWindow; }

  // Content in data rows and columns; the title row and the indicator column come on top.
  virtual int RowCount() const = 0;
  virtual int ColCount() const = 0;
  virtual std::u16string Title(int col) const = 0;
  // What the cell shows: for the cell being edited, the editor's text.
  virtual std::u16string Cell(int row, int col) const = 0;
  virtual TAlignment ColAlignment(int col) const = 0;
  virtual int ColWidth(int col) const = 0;
  virtual TGridIndicator Indicator(int row) const = 0;

  // Current cell (Row -1 when there is no row), the first row shown, and the in-place editor.
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual int TopRow() const = 0;
  virtual bool EditorMode() const = 0;
  virtual std::u16string EditText() const = 0;
  virtual int EditMaxLength() const = 0;  // 0: no limit
  virtual bool EditImeAllowed() const = 0;
  // Whether the current cell takes this typed character; control characters always pass.
  virtual bool AcceptsChar(char16_t c) const = 0;

  // Input from the backend. Errors are the grid's to show; none comes back.
  virtual bool UserKeyDown(TKey key, TShiftState shift) = 0;  // true when the key had an effect
  virtual bool UserChar(char16_t c) = 0;                        // false: refused, the backend beeps
  virtual void UserEditChanged(const std::u16string& text) = 0;  // the editor's text now
  virtual void UserClick(int row, int col) = 0;
  virtual void UserScrollTo(int row) = 0;
  virtual void UserExit() = 0;  // the focus left the grid
  virtual void UserColWidth(int col, int width) = 0;
  virtual void UserVisibleRows(int count) = 0;

  // The backend redraws and re-reads the editor.
  void Invalidate() { Notify(TProperty::Content); }
  IGridPeer* GridPeer() const { return dynamic_cast<IGridPeer*>(Peer()); }
};

}  // namespace platform
