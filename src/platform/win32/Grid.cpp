// A grid as a window of its own that draws its TCustomGrid's view, with a real edit control as
// the in-place editor. Keys, characters, clicks, scrolling and the focus go to the grid, which
// decides what they do.
#include "platform/win32/Peers.h"

#include <commctrl.h>
#include <imm.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <map>

#include "platform/win32/Accessible.h"

namespace platform::win32 {

namespace {

const wchar_t* const cGridClass = L"QuorvelGrid";
constexpr int cIndicatorWidth = TCustomGrid::cIndicatorWidth;
constexpr int cLine = TCustomGrid::cLineWidth;  // grid lines between rows and columns
constexpr int cDragMargin = 3;                  // pixels either side of a title border that start a resize
constexpr UINT cExitMessage = WM_APP + 0x301;   // the focus went elsewhere in the form
constexpr UINT_PTR cEditorSubclass = 1;

TShiftState ShiftNow() { return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0}; }

bool KeyOf(WPARAM vk, TKey& key) {
  switch (vk) {
    case VK_UP: key = TKey::Up; return true;
    case VK_DOWN: key = TKey::Down; return true;
    case VK_LEFT: key = TKey::Left; return true;
    case VK_RIGHT: key = TKey::Right; return true;
    case VK_HOME: key = TKey::Home; return true;
    case VK_END: key = TKey::End; return true;
    case VK_PRIOR: key = TKey::PageUp; return true;
    case VK_NEXT: key = TKey::PageDown; return true;
    case VK_TAB: key = TKey::Tab; return true;
    case VK_RETURN: key = TKey::Enter; return true;
    case VK_ESCAPE: key = TKey::Escape; return true;
    case VK_INSERT: key = TKey::Insert; return true;
    case VK_DELETE: key = TKey::Delete; return true;
    case VK_F2: key = TKey::F2; return true;
    default: return false;
  }
}

UINT DrawAlignment(TAlignment alignment) {
  return alignment == TAlignment::Center ? DT_CENTER : alignment == TAlignment::Right ? DT_RIGHT : DT_LEFT;
}

class TWin32GridPeer;

// The in-place editor speaks as the cell it edits.
class TEditorAccess final : public IAccessSource {
 public:
  explicit TEditorAccess(TWin32GridPeer& peer) : FPeer(peer) {}
  int AccessChildCount(TAccessPath) override { return 0; }
  TAccessPart AccessPart(TAccessPath) override;
  std::optional<TAccessPath> AccessFocus() override;
  std::optional<TAccessPath> AccessHit(POINT) override { return std::nullopt; }
  bool AccessDoDefault(TAccessPath) override { return false; }

 private:
  TWin32GridPeer& FPeer;
};

// For screen readers the grid is a table: the titles' row, then a row per data row, each with
// a cell per column.
class TWin32GridPeer final : public TCustomWindowPeer,
                             public IGridMetrics,
                             public IAccessAnnouncer,
                             private IAccessSource {
 public:
  TWin32GridPeer(TCustomGrid& grid, HWND form, int id);
  ~TWin32GridPeer() override;
  void Changed(TProperty what) override;
  int TextWidth(const std::u16string& text) override;
  int DigitWidth() override { return FDigitWidth; }
  int Overhang() override { return FOverhang; }
  void Announce(TAccessEvent event, int row, int col) override;
  LRESULT EditorProc(UINT message, WPARAM wParam, LPARAM lParam);
  TAccessPart EditorPart() const;
  HWND Editor() const { return FEditor; }

 private:
  int AccessChildCount(TAccessPath path) override;
  TAccessPart AccessPart(TAccessPath path) override;
  std::optional<TAccessPath> AccessFocus() override;
  std::optional<TAccessPath> AccessHit(POINT client) override;
  bool AccessDoDefault(TAccessPath) override { return false; }
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;
  int RowStep() const { return FRowHeight + cLine; }
  int VisibleRows() const;
  int ClientWidth() const;
  void ReportViewSize();
  bool ColShown(const TGridView& view, int col) const;
  RECT CellRect(const TGridView& view, int row, int col) const;  // row -1: the title row; col -1: the indicator
  bool HitCell(const TGridView& view, int x, int y, int& row, int& col) const;
  // The column whose right border is at x in the title row; -1 for none.
  int HitTitleBorder(const TGridView& view, int x, int y) const;
  bool Inside(HWND window) const { return window && (window == Window() || IsChild(Window(), window)); }
  TEditorCaret Caret() const;
  LRESULT Scroll(TScrollBar bar, WORD request);
  void LostFocus(HWND to);
  void SyncEditor(const TGridView& view);
  // The grid window's input method follows the current column's, as the editor's does; its
  // composition window stands at the current cell.
  void SyncIme(const TGridView& view);
  void Wheel(int delta);
  void Paste();
  void UpdateScroll(const TGridView& view);
  void Paint(HDC dc, const RECT& client) override;
  void PaintIndicator(HDC dc, const RECT& cell, TGridIndicator indicator);
  static void Answer(const TGridView& view, TGridQuery& query);
  static LRESULT State(const TGridView& view, WPARAM what);

  TCustomGrid& FGrid;
  HFONT FFont;             // the program's; not owned
  HWND FEditor = nullptr;  // a child of the grid's window, which takes it along
  int FRowHeight = 18;
  int FDigitWidth = 6;
  int FOverhang = 0;
  bool FSyncing = false;  // the editor's text is being set from the grid, not typed
  int FEditLoad = -1;     // the grid's load of the editor's text that the editor shows
  bool FImeOn = true;
  POINT FCompositionAt{-1, -1};
  int FDragCol = -1;
  int FWheel = 0;                         // wheel movement not yet a whole line
  std::map<std::u16string, int> FWidths;  // texts measured in the grid's font, which never changes
  TAccessHost FAccess;
  TEditorAccess FEditorSource{*this};
  std::unique_ptr<TAccessHost> FEditorAccess;
};

TAccessPart TEditorAccess::AccessPart(TAccessPath) { return FPeer.EditorPart(); }

std::optional<TAccessPath> TEditorAccess::AccessFocus() {
  return GetFocus() == FPeer.Editor() ? std::optional(TAccessPath{}) : std::nullopt;
}

LRESULT CALLBACK EditorSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* peer = reinterpret_cast<TWin32GridPeer*>(data);
  if (!peer) return DefSubclassProc(window, message, wParam, lParam);
  return GuardedProc([&] { return peer->EditorProc(message, wParam, lParam); });
}

TWin32GridPeer::TWin32GridPeer(TCustomGrid& grid, HWND form, int id)
    : TCustomWindowPeer(grid, cGridClass, WS_EX_CLIENTEDGE, WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, form, id),
      FGrid(grid),
      FFont(FontFor(grid.Font)),
      FAccess(Window(), *this) {
  TEXTMETRICW metrics{};
  SIZE digit{};
  {
    const TWindowDc screen;
    const TSelection font(screen.Get(), FFont);
    GetTextMetricsW(screen.Get(), &metrics);
    GetTextExtentPoint32W(screen.Get(), L"0", 1, &digit);
  }
  FRowHeight = metrics.tmHeight + 5;
  FDigitWidth = digit.cx;
  FOverhang = metrics.tmOverhang;

  FEditor = Checked(CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, Window(),
                                    reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr),
                    u"CreateWindowExW (EDIT)");
  SendMessageW(FEditor, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  Checked(SetWindowSubclass(FEditor, EditorSubclass, cEditorSubclass, reinterpret_cast<DWORD_PTR>(this)),
          u"SetWindowSubclass");
  FEditorAccess = std::make_unique<TAccessHost>(FEditor, FEditorSource);
  ReportViewSize();
  const TGridView view = FGrid.View();
  SyncIme(view);
  UpdateScroll(view);
}

TWin32GridPeer::~TWin32GridPeer() {
  if (IsWindow(FEditor)) RemoveWindowSubclass(FEditor, EditorSubclass, cEditorSubclass);
}

void TWin32GridPeer::Changed(TProperty what) {
  TCustomWindowPeer::Changed(what);
  if (what != TProperty::Content) return;
  const TGridView view = FGrid.View();
  SyncIme(view);
  SyncEditor(view);
  UpdateScroll(view);
  InvalidateRect(Window(), nullptr, FALSE);
}

// Column titles are measured at every view: once each through the window's DC is enough.
int TWin32GridPeer::TextWidth(const std::u16string& text) {
  if (auto known = FWidths.find(text); known != FWidths.end()) return known->second;
  const TWindowDc window(Window());
  const TSelection font(window.Get(), FFont);
  SIZE size{};
  GetTextExtentPoint32W(window.Get(), WideText(text), static_cast<int>(text.size()), &size);
  FWidths.emplace(text, size.cx);
  return size.cx;
}

int TWin32GridPeer::VisibleRows() const {
  RECT client;
  GetClientRect(Window(), &client);
  return std::max(1, static_cast<int>((client.bottom - RowStep()) / RowStep()));
}

int TWin32GridPeer::ClientWidth() const {
  RECT client;
  GetClientRect(Window(), &client);
  return client.right;
}

void TWin32GridPeer::ReportViewSize() { FGrid.UserViewSize(VisibleRows(), ClientWidth()); }

bool TWin32GridPeer::ColShown(const TGridView& view, int col) const {
  return col >= view.LeftCol && col < static_cast<int>(view.Columns.size()) && view.Columns[col].Left < ClientWidth();
}

RECT TWin32GridPeer::CellRect(const TGridView& view, int row, int col) const {
  const int top = row < 0 ? 0 : (row - view.TopRow + 1) * RowStep();
  const TGridColumn* column = col < 0 ? nullptr : &view.Columns[col];
  const int left = column ? column->Left : 0;
  const int width = column ? column->Width : cIndicatorWidth;
  return {left, top, left + width, top + FRowHeight};
}

// A row's indicator cell gives col -1.
bool TWin32GridPeer::HitCell(const TGridView& view, int x, int y, int& row, int& col) const {
  if (y < RowStep() || x < 0) return false;
  row = view.TopRow + y / RowStep() - 1;
  col = -1;
  if (x < cIndicatorWidth + cLine) return row < view.RowCount;
  for (int c = view.LeftCol; c < static_cast<int>(view.Columns.size()); ++c) {
    const TGridColumn& column = view.Columns[c];
    if (x >= column.Left && x < column.Left + column.Width + cLine) col = c;
  }
  return col >= 0 && row < view.RowCount;
}

int TWin32GridPeer::HitTitleBorder(const TGridView& view, int x, int y) const {
  if (y < 0 || y >= RowStep()) return -1;
  for (int c = view.LeftCol; c < static_cast<int>(view.Columns.size()); ++c) {
    const TGridColumn& column = view.Columns[c];
    const int right = column.Left + column.Width;
    if (x >= right - cDragMargin && x <= right + cDragMargin) return c;
  }
  return -1;
}

void TWin32GridPeer::LostFocus(HWND to) {
  // Only a move to another control of the same window is a leave; message boxes are not.
  if (!to || Inside(to) || GetAncestor(to, GA_ROOT) != GetAncestor(Window(), GA_ROOT)) return;
  // After the focus change has completed, so that an error box can hand the focus back.
  PostMessageW(Window(), cExitMessage, 0, 0);
}

void TWin32GridPeer::SyncEditor(const TGridView& view) {
  const int row = view.Row;
  const int col = view.Col;
  const int top = view.TopRow;
  const bool show =
      view.EditorMode && row >= 0 && row >= top && row < top + VisibleRows() && col >= 0 && ColShown(view, col);
  const bool reload = view.EditLoad != FEditLoad;
  FEditLoad = view.EditLoad;
  if (!show) {
    if (IsWindowVisible(FEditor)) {
      const bool hadFocus = GetFocus() == FEditor;
      ShowWindow(FEditor, SW_HIDE);
      if (hadFocus) ::SetFocus(Window());
    }
    return;
  }
  RECT cell = CellRect(view, row, col);
  const int inner = std::max(0, static_cast<int>(cell.bottom - cell.top) - 2);
  const int width = std::max(0, static_cast<int>(cell.right - cell.left) - 3);
  RECT before{};
  GetClientRect(FEditor, &before);
  SetWindowPos(FEditor, HWND_TOP, cell.left + 2, cell.top + 2, width, inner, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  RECT after{};
  GetClientRect(FEditor, &after);
  if (after.right > before.right) {
    // Widened: scroll back to the start so that the text shows as far as the caret allows.
    DWORD start = 0, end = 0;
    SendMessageW(FEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageW(FEditor, EM_SETSEL, 0, 0);
    SendMessageW(FEditor, EM_SCROLLCARET, 0, 0);
    SendMessageW(FEditor, EM_SETSEL, start, static_cast<LPARAM>(end));
    SendMessageW(FEditor, EM_SCROLLCARET, 0, 0);
  }
  SendMessageW(FEditor, EM_LIMITTEXT, static_cast<WPARAM>(std::max(view.EditMaxLength, 0)), 0);
  const std::u16string& text = view.EditText;
  const bool differs = WindowText(FEditor) != text;
  if (differs || reload) {
    FSyncing = true;
    if (differs) SetWindowTextW(FEditor, WideText(text));
    const bool all = reload && view.EditSelectAll;
    SendMessageW(FEditor, EM_SETSEL, all ? 0 : text.size(), static_cast<LPARAM>(text.size()));
    FSyncing = false;
  }
  if (GetFocus() == Window()) ::SetFocus(FEditor);
}

void TWin32GridPeer::SyncIme(const TGridView& view) {
  const bool ime = view.EditImeAllowed;
  if (ime != FImeOn) {
    for (HWND window : {Window(), FEditor}) {
      if (ime) {
        ImmAssociateContextEx(window, nullptr, IACE_DEFAULT);
      } else {
        ImmAssociateContext(window, nullptr);
      }
    }
    FImeOn = ime;
    FCompositionAt = {-1, -1};
  }
  if (!ime || view.Row < 0 || view.Col < 0 || view.Col >= static_cast<int>(view.Columns.size())) return;
  const RECT cell = CellRect(view, view.Row, view.Col);
  const POINT at{cell.left + 2, cell.top + 2};
  if (at.x == FCompositionAt.x && at.y == FCompositionAt.y) return;
  HIMC context = ImmGetContext(Window());  // the thread's; released, not owned
  if (!context) return;
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = at;
  ImmSetCompositionWindow(context, &form);
  LOGFONTW font{};
  if (GetObjectW(FFont, sizeof(font), &font)) ImmSetCompositionFontW(context, &font);
  ImmReleaseContext(Window(), context);
  FCompositionAt = at;
}

// Each notch scrolls the lines the user chose for the wheel; a fine wheel's parts add up.
void TWin32GridPeer::Wheel(int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == 0) return;
  FWheel += delta;
  if (lines == WHEEL_PAGESCROLL) {
    for (; FWheel >= WHEEL_DELTA; FWheel -= WHEEL_DELTA) FGrid.UserScroll(TScrollBar::Vertical, TScroll::PageBack);
    for (; FWheel <= -WHEEL_DELTA; FWheel += WHEEL_DELTA) FGrid.UserScroll(TScrollBar::Vertical, TScroll::PageOn);
    return;
  }
  const int perLine = std::max(1, WHEEL_DELTA / static_cast<int>(std::min<UINT>(lines, WHEEL_DELTA)));
  for (; FWheel >= perLine; FWheel -= perLine) FGrid.UserScroll(TScrollBar::Vertical, TScroll::LineBack);
  for (; FWheel <= -perLine; FWheel += perLine) FGrid.UserScroll(TScrollBar::Vertical, TScroll::LineOn);
}

// The editor's own paste would cut at its limit in units, splitting a pair; the grid says what fits.
void TWin32GridPeer::Paste() {
  std::u16string text;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(FEditor)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {  // the clipboard's
      if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
        text = FromWide(chars);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  const std::u16string fits = FGrid.UserEditorPaste(text, Caret());
  SendMessageW(FEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WideText(fits)));
}

void TWin32GridPeer::UpdateScroll(const TGridView& view) {
  SCROLLINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = std::max(0, view.RowCount - 1);
  info.nPage = static_cast<UINT>(VisibleRows());
  info.nPos = view.TopRow;
  SetScrollInfo(Window(), SB_VERT, &info, TRUE);
  // In columns, and only while they do not all fit.
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = view.MaxLeftCol;
  info.nPage = 1;
  info.nPos = view.LeftCol;
  SetScrollInfo(Window(), SB_HORZ, &info, TRUE);
}

void TWin32GridPeer::PaintIndicator(HDC dc, const RECT& cell, TGridIndicator indicator) {
  const int midY = (cell.top + cell.bottom) / 2;
  const int midX = (cell.left + cell.right) / 2;
  switch (indicator) {
    case TGridIndicator::Browse: {
      POINT arrow[] = {{midX - 2, midY - 4}, {midX + 2, midY}, {midX - 2, midY + 4}};
      const TSelection brush(dc, GetSysColorBrush(COLOR_BTNTEXT));
      const TSelection pen(dc, GetStockObject(NULL_PEN));
      Polygon(dc, arrow, 3);
      break;
    }
    case TGridIndicator::Edit:
    case TGridIndicator::Insert: {
      RECT r = cell;
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextW(dc, indicator == TGridIndicator::Edit ? L"I" : L"*", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      break;
    }
    case TGridIndicator::None: break;
  }
}

void TWin32GridPeer::Paint(HDC dc, const RECT& client) {
  const TSelection fontSelected(dc, FFont);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  const TOwnedPen line(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  const TSelection lineSelected(dc, line.Get());

  const TGridView view = FGrid.View();
  const int cols = static_cast<int>(view.Columns.size());
  const bool focused = Inside(GetFocus());
  auto fixedCell = [&](RECT cell) {
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
  };
  auto text = [&](const std::u16string& value, RECT cell, UINT alignment) {
    RECT inside = {cell.left + 2, cell.top, cell.right - 2, cell.bottom};
    DrawTextW(dc, WideText(value), static_cast<int>(value.size()), &inside,
              alignment | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  fixedCell(CellRect(view, -1, -1));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int c = view.LeftCol; c < cols; ++c) {
    const RECT cell = CellRect(view, -1, c);
    fixedCell(cell);
    text(view.Columns[c].Title, cell, DT_LEFT);
  }
  int row = view.TopRow;
  for (const TGridRow& shown : view.Rows) {
    const RECT indicator = CellRect(view, row, -1);
    fixedCell(indicator);
    PaintIndicator(dc, indicator, shown.Indicator);
    for (int c = view.LeftCol; c < cols; ++c) {
      const RECT cell = CellRect(view, row, c);
      const bool current = row == view.Row && c == view.Col;
      if (current) FillRect(dc, &cell, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(current && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      text(shown.Cells[c], cell, DrawAlignment(view.Columns[c].Alignment));
    }
    MoveToEx(dc, cIndicatorWidth + cLine, indicator.bottom, nullptr);
    LineTo(dc, view.Right, indicator.bottom);
    ++row;
  }
  // The columns' lines run from the title row down to the last row shown.
  const int bottom = std::max(CellRect(view, row - 1, -1).bottom, static_cast<LONG>(RowStep() - cLine));
  for (int c = view.LeftCol; c < cols; ++c) {
    const TGridColumn& column = view.Columns[c];
    MoveToEx(dc, column.Left + column.Width, RowStep() - cLine, nullptr);
    LineTo(dc, column.Left + column.Width, bottom);
  }
}

void TWin32GridPeer::Answer(const TGridView& view, TGridQuery& query) {
  query.RowCount = view.RowCount;
  query.CurrentRow = view.Row;
  query.CurrentCol = view.Col;
  query.EditorMode = view.EditorMode ? TRUE : FALSE;
  std::u16string text;
  const int shown = query.Row - view.TopRow;
  if (query.Col >= 0 && query.Col < static_cast<int>(view.Columns.size())) {
    if (query.Row < 0) {
      text = view.Columns[query.Col].Title;
    } else if (shown >= 0 && shown < static_cast<int>(view.Rows.size())) {
      text = view.Rows[shown].Cells[query.Col];
    }
  }
  text = text.substr(0, std::size(query.Text) - 1);
  std::copy(text.begin(), text.end(), query.Text);
  query.Text[text.size()] = L'\0';
}

LRESULT TWin32GridPeer::State(const TGridView& view, WPARAM what) {
  switch (what) {
    case 0: return view.RowCount;
    case 1: return view.Row;
    case 2: return view.Col;
    case 3: return view.LeftCol;
    case 4: return view.EditorMode ? 1 : 0;
    default: return -1;
  }
}

// Path (-1, 0) is the titles' row, (-1, r + 1) data row r, (r + 1, c) its cell in column c.
int TWin32GridPeer::AccessChildCount(TAccessPath path) {
  if (path.Parent >= 0) return 0;
  return path.Index < 0 ? FGrid.RowCount() + 1 : FGrid.ColCount();
}

TAccessPart TWin32GridPeer::AccessPart(TAccessPath path) {
  TAccessPart part;
  RECT client;
  GetClientRect(Window(), &client);
  if (path == TAccessPath{}) {
    part.Role = ROLE_SYSTEM_TABLE;
    part.Item.Name = FGrid.AccessName;
    part.SystemState = STATE_SYSTEM_FOCUSABLE | (Inside(GetFocus()) ? STATE_SYSTEM_FOCUSED : 0);
    part.Client = client;
    return part;
  }
  const TGridView view = FGrid.View();
  const int row = (path.Parent < 0 ? path.Index : path.Parent) - 1;
  const int col = path.Parent < 0 ? -1 : path.Index;
  part.Item = FGrid.AccessCell(row, col);
  part.Role = col < 0 ? ROLE_SYSTEM_ROW : row < 0 ? ROLE_SYSTEM_COLUMNHEADER : ROLE_SYSTEM_CELL;
  if (row >= 0 && col >= 0) part.SystemState = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
  RECT rect = CellRect(view, row, col);
  if (col < 0) rect.right = view.Right;  // the whole row
  const bool rowShown = row < 0 || (row >= view.TopRow && rect.top < client.bottom);
  const bool colShown = col < 0 || ColShown(view, col);
  if (!colShown) rect.left = rect.right = 0;  // a column scrolled out has no place
  if (!rowShown || !colShown) part.SystemState |= STATE_SYSTEM_OFFSCREEN;
  part.Client = rect;
  return part;
}

std::optional<TAccessPath> TWin32GridPeer::AccessFocus() {
  if (!Inside(GetFocus())) return std::nullopt;
  const TGridView view = FGrid.View();
  if (view.Row < 0) return TAccessPath{};
  return TAccessPath{view.Row + 1, view.Col};
}

std::optional<TAccessPath> TWin32GridPeer::AccessHit(POINT client) {
  const TGridView view = FGrid.View();
  if (client.y >= 0 && client.y < RowStep()) {
    for (int c = view.LeftCol; c < static_cast<int>(view.Columns.size()); ++c)
      if (client.x >= view.Columns[c].Left && client.x < view.Columns[c].Left + view.Columns[c].Width + cLine)
        return TAccessPath{0, c};
    return TAccessPath{-1, 0};
  }
  int row = 0, col = 0;
  if (!HitCell(view, client.x, client.y, row, col)) return std::nullopt;
  return col < 0 ? TAccessPath{-1, row + 1} : TAccessPath{row + 1, col};
}

TAccessPart TWin32GridPeer::EditorPart() const {
  const TGridView view = FGrid.View();
  TAccessPart part;
  part.Role = ROLE_SYSTEM_TEXT;
  if (view.Row >= 0) part.Item.Name = FGrid.AccessCell(view.Row, view.Col).Name;
  part.Item.Value = WindowText(FEditor);
  part.SystemState = STATE_SYSTEM_FOCUSABLE | (GetFocus() == FEditor ? STATE_SYSTEM_FOCUSED : 0);
  GetClientRect(FEditor, &part.Client);
  return part;
}

// Only a grid that has the focus moves a reader's focus; in the editor, the editor has it.
void TWin32GridPeer::Announce(TAccessEvent event, int row, int col) {
  const TAccessPath path = row < 0 ? TAccessPath{} : col < 0 ? TAccessPath{-1, row + 1} : TAccessPath{row + 1, col};
  switch (event) {
    case TAccessEvent::Focus:
      if (GetFocus() == FEditor) {
        FEditorAccess->Announce(EVENT_OBJECT_FOCUS, {});
      } else if (Inside(GetFocus())) {
        FAccess.Announce(EVENT_OBJECT_FOCUS, path);
      }
      break;
    case TAccessEvent::ValueChange: FAccess.Announce(EVENT_OBJECT_VALUECHANGE, path); break;
    case TAccessEvent::Reorder: FAccess.Announce(EVENT_OBJECT_REORDER, path); break;
    case TAccessEvent::StateChange: FAccess.Announce(EVENT_OBJECT_STATECHANGE, path); break;
  }
}

TEditorCaret TWin32GridPeer::Caret() const {
  DWORD start = 0, end = 0;
  SendMessageW(FEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end), GetWindowTextLengthW(FEditor)};
}

LRESULT TWin32GridPeer::Scroll(TScrollBar bar, WORD request) {
  switch (request) {
    case SB_LINEUP: FGrid.UserScroll(bar, TScroll::LineBack); break;
    case SB_LINEDOWN: FGrid.UserScroll(bar, TScroll::LineOn); break;
    case SB_PAGEUP: FGrid.UserScroll(bar, TScroll::PageBack); break;
    case SB_PAGEDOWN: FGrid.UserScroll(bar, TScroll::PageOn); break;
    case SB_TOP: FGrid.UserScroll(bar, TScroll::Start); break;
    case SB_BOTTOM: FGrid.UserScroll(bar, TScroll::End); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info;
      ZeroMemory(&info, sizeof(info));
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(Window(), bar == TScrollBar::Vertical ? SB_VERT : SB_HORZ, &info);
      FGrid.UserScrollTo(bar, info.nTrackPos);
      break;
    }
    default: break;
  }
  return 0;
}

LRESULT TWin32GridPeer::EditorProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTTAB;
    case WM_KEYDOWN: {
      TKey key;
      if (KeyOf(wParam, key) && FGrid.UserEditorKeyDown(key, ShiftNow(), Caret())) return 0;
      break;
    }
    case WM_CHAR:
    case WM_IME_CHAR:
      switch (FGrid.UserEditorChar(static_cast<char16_t>(wParam), Caret())) {
        case TEditorChar::Type: break;
        case TEditorChar::Drop: return 0;
        case TEditorChar::Refuse: MessageBeep(MB_OK); return 0;
      }
      // A committed character goes in at once, as typed, so the next one sees it in place.
      return DefSubclassProc(FEditor, WM_CHAR, wParam, lParam);
    case WM_PASTE: Paste(); return 0;
    case WM_GETOBJECT:
      if (auto answer = FEditorAccess->Answer(wParam, lParam)) return *answer;
      break;
    case WM_KILLFOCUS: LostFocus(reinterpret_cast<HWND>(wParam)); break;
    default: break;
  }
  return DefSubclassProc(FEditor, message, wParam, lParam);
}

LRESULT TWin32GridPeer::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // The grid answers with a change of content, which moves the editor and the scroll bars.
      ReportViewSize();
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KEYDOWN: {
      TKey key;
      if (KeyOf(wParam, key) && FGrid.UserKeyDown(key, ShiftNow())) return 0;
      break;
    }
    case WM_CHAR:
      if (!FGrid.UserChar(static_cast<char16_t>(wParam))) MessageBeep(MB_OK);
      return 0;
    case WM_SETFOCUS:
      if (IsWindowVisible(FEditor)) ::SetFocus(FEditor);
      InvalidateRect(Window(), nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      LostFocus(reinterpret_cast<HWND>(wParam));
      InvalidateRect(Window(), nullptr, FALSE);
      return 0;
    case cExitMessage: {
      HWND focus = GetFocus();
      if (focus && !Inside(focus) && GetAncestor(focus, GA_ROOT) == GetAncestor(Window(), GA_ROOT)) FGrid.UserExit();
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!Inside(GetFocus())) ::SetFocus(Window());
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      const TGridView view = FGrid.View();
      FDragCol = HitTitleBorder(view, x, y);
      if (FDragCol >= 0) {
        SetCapture(Window());
        return 0;
      }
      int row = 0, col = 0;
      if (HitCell(view, x, y, row, col)) FGrid.UserClick(row, col, message == WM_LBUTTONDBLCLK);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (FDragCol >= 0) {
        const TGridView view = FGrid.View();
        if (FDragCol < static_cast<int>(view.Columns.size()))
          FGrid.UserColWidth(FDragCol, GET_X_LPARAM(lParam) - view.Columns[FDragCol].Left);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (FDragCol >= 0) {
        FDragCol = -1;
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(Window(), &at);
        if (HitTitleBorder(FGrid.View(), at.x, at.y) >= 0) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_VSCROLL: return Scroll(TScrollBar::Vertical, LOWORD(wParam));
    case WM_HSCROLL: return Scroll(TScrollBar::Horizontal, LOWORD(wParam));
    case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == FEditor && HIWORD(wParam) == EN_CHANGE && !FSyncing)
        FGrid.UserEditChanged(WindowText(FEditor));
      return 0;
    case cGridQuery: Answer(FGrid.View(), *reinterpret_cast<TGridQuery*>(lParam)); return 0;
    case cGridState: return State(FGrid.View(), wParam);
    case WM_GETOBJECT:
      if (auto answer = FAccess.Answer(wParam, lParam)) return *answer;
      break;
    default: break;
  }
  return DefWindowProcW(Window(), message, wParam, lParam);
}

}  // namespace

std::unique_ptr<IControlPeer> CreateGridPeer(TCustomGrid& grid, HWND form, int id) {
  return std::make_unique<TWin32GridPeer>(grid, form, id);
}

}  // namespace platform::win32
