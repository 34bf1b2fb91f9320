// A grid as a window of its own that draws what its TCustomGrid reports, with a real edit
// control as the in-place editor. Keys, characters, clicks and the focus go back to the grid.
#include "platform/win32/Peers.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <algorithm>

namespace platform::win32 {

namespace {

const wchar_t* const cGridClass = L"QuorvelGrid";
constexpr int cIndicatorWidth = TCustomGrid::cIndicatorWidth;
constexpr int cLine = TCustomGrid::cLineWidth;  // grid lines between rows and columns
constexpr int cDragMargin = 3;    // pixels either side of a title border that start a resize
constexpr UINT cExitMessage = WM_APP + 0x301;  // the focus went elsewhere in the form
constexpr UINT_PTR cEditorSubclass = 1;

TShiftState ShiftNow() {
  return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

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

class TWin32GridPeer final : public TCustomWindowPeer, public IGridMetrics {
 public:
  TWin32GridPeer(TCustomGrid& grid, HWND form, int id);
  ~TWin32GridPeer() override;
  void Changed(TProperty what) override;
  int TextWidth(const std::u16string& text) override;
  int DigitWidth() override { return FDigitWidth; }
  int Overhang() override { return FOverhang; }
  LRESULT EditorProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;
  int RowStep() const { return FRowHeight + cLine; }
  int VisibleRows() const;
  int ClientWidth() const;
  void ReportViewSize();
  bool ColShown(int col) const { return col >= FGrid.LeftCol() && FGrid.ColLeft(col) < ClientWidth(); }
  RECT CellRect(int row, int col) const;  // row -1: the title row
  bool HitCell(int x, int y, int& row, int& col) const;
  int HitTitleBorder(int x, int y) const;  // the column whose right border is at x; -1 for none
  bool Inside(HWND window) const { return window && (window == Window() || IsChild(Window(), window)); }
  bool EditorForwards(WPARAM vk, TKey& key) const;
  LRESULT Scroll(TScrollBar bar, WORD request);
  void LostFocus(HWND to);
  void SyncEditor();
  void UpdateScroll();
  void Paint(HDC dc, const RECT& client) override;
  void PaintIndicator(HDC dc, const RECT& cell, TGridIndicator indicator);
  void Answer(TGridQuery& query);

  TCustomGrid& FGrid;
  HFONT FFont;             // the program's; not owned
  HWND FEditor = nullptr;  // a child of the grid's window, which takes it along
  int FRowHeight = 18;
  int FDigitWidth = 6;
  int FOverhang = 0;
  bool FSyncing = false;  // the editor's text is being set from the grid, not typed
  bool FImeOn = true;
  int FDragCol = -1;
  int FWheel = 0;  // wheel movement not yet a whole notch
};

LRESULT CALLBACK EditorSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* peer = reinterpret_cast<TWin32GridPeer*>(data);
  if (!peer) return DefSubclassProc(window, message, wParam, lParam);
  return GuardedProc([&] { return peer->EditorProc(message, wParam, lParam); });
}

TWin32GridPeer::TWin32GridPeer(TCustomGrid& grid, HWND form, int id)
    : TCustomWindowPeer(grid, cGridClass, WS_EX_CLIENTEDGE, WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, form, id),
      FGrid(grid),
      FFont(FontFor(grid.Font)) {
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
  ReportViewSize();
  UpdateScroll();
}

TWin32GridPeer::~TWin32GridPeer() {
  if (IsWindow(FEditor)) RemoveWindowSubclass(FEditor, EditorSubclass, cEditorSubclass);
}

void TWin32GridPeer::Changed(TProperty what) {
  TCustomWindowPeer::Changed(what);
  if (what != TProperty::Content) return;
  SyncEditor();
  UpdateScroll();
  InvalidateRect(Window(), nullptr, FALSE);
}

int TWin32GridPeer::TextWidth(const std::u16string& text) {
  const TWindowDc window(Window());
  const TSelection font(window.Get(), FFont);
  SIZE size{};
  GetTextExtentPoint32W(window.Get(), W(text), static_cast<int>(text.size()), &size);
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

RECT TWin32GridPeer::CellRect(int row, int col) const {
  const int top = row < 0 ? 0 : (row - FGrid.TopRow() + 1) * RowStep();
  const int left = col < 0 ? 0 : FGrid.ColLeft(col);
  const int width = col < 0 ? cIndicatorWidth : FGrid.ColWidth(col);
  return {left, top, left + width, top + FRowHeight};
}

bool TWin32GridPeer::HitCell(int x, int y, int& row, int& col) const {
  if (y < RowStep() || x < cIndicatorWidth + cLine) return false;
  row = FGrid.TopRow() + y / RowStep() - 1;
  col = -1;
  int left = cIndicatorWidth + cLine;
  for (int c = FGrid.LeftCol(); c < FGrid.ColCount(); ++c) {
    const int width = FGrid.ColWidth(c);
    if (x >= left && x < left + width + cLine) col = c;
    left += width + cLine;
  }
  return col >= 0 && row < FGrid.RowCount();
}

int TWin32GridPeer::HitTitleBorder(int x, int y) const {
  if (y < 0 || y >= RowStep()) return -1;
  int right = cIndicatorWidth + cLine;
  for (int c = FGrid.LeftCol(); c < FGrid.ColCount(); ++c) {
    right += FGrid.ColWidth(c);
    if (x >= right - cDragMargin && x <= right + cDragMargin) return c;
    right += cLine;
  }
  return -1;
}

void TWin32GridPeer::LostFocus(HWND to) {
  // Only a move to another control of the same window is a leave; message boxes are not.
  if (!to || Inside(to) || GetAncestor(to, GA_ROOT) != GetAncestor(Window(), GA_ROOT)) return;
  // After the focus change has completed, so that an error box can hand the focus back.
  PostMessageW(Window(), cExitMessage, 0, 0);
}

void TWin32GridPeer::SyncEditor() {
  const int row = FGrid.Row();
  const int col = FGrid.Col();
  const int top = FGrid.TopRow();
  const bool show = FGrid.EditorMode() && row >= 0 && row >= top && row < top + VisibleRows() && col >= 0 &&
                    col < FGrid.ColCount() && ColShown(col);
  if (!show) {
    if (IsWindowVisible(FEditor)) {
      const bool hadFocus = GetFocus() == FEditor;
      ShowWindow(FEditor, SW_HIDE);
      if (hadFocus) ::SetFocus(Window());
    }
    return;
  }
  RECT cell = CellRect(row, col);
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
  const int limit = FGrid.EditMaxLength();
  SendMessageW(FEditor, EM_LIMITTEXT, static_cast<WPARAM>(limit > 0 ? limit : 0), 0);
  const std::u16string text = FGrid.EditText();
  if (WindowText(FEditor) != text) {
    FSyncing = true;
    SetWindowTextW(FEditor, W(text));
    SendMessageW(FEditor, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
    FSyncing = false;
  }
  const bool ime = FGrid.EditImeAllowed();
  if (ime != FImeOn) {
    if (ime) {
      ImmAssociateContextEx(FEditor, nullptr, IACE_DEFAULT);
    } else {
      ImmAssociateContext(FEditor, nullptr);
    }
    FImeOn = ime;
  }
  if (GetFocus() == Window()) ::SetFocus(FEditor);
}

void TWin32GridPeer::UpdateScroll() {
  SCROLLINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = std::max(0, FGrid.RowCount() - 1);
  info.nPage = static_cast<UINT>(VisibleRows());
  info.nPos = FGrid.TopRow();
  SetScrollInfo(Window(), SB_VERT, &info, TRUE);
  // In columns, and only while they do not all fit.
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = FGrid.MaxLeftCol();
  info.nPage = 1;
  info.nPos = FGrid.LeftCol();
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
    case TGridIndicator::None:
      break;
  }
}

void TWin32GridPeer::Paint(HDC dc, const RECT& client) {
  const TSelection fontSelected(dc, FFont);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  const TOwnedPen line(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  const TSelection lineSelected(dc, line.Get());

  const int cols = FGrid.ColCount();
  const int rows = FGrid.RowCount();
  const int top = FGrid.TopRow();
  const bool focused = Inside(GetFocus());
  const int shown = std::min(rows - top, VisibleRows() + 1);
  const int first = FGrid.LeftCol();
  const int right = FGrid.ColLeft(cols);

  auto fixedCell = [&](RECT cell) {
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
  };
  fixedCell(CellRect(-1, -1));
  for (int c = first; c < cols; ++c) {
    RECT cell = CellRect(-1, c);
    fixedCell(cell);
    RECT text = {cell.left + 2, cell.top, cell.right - 2, cell.bottom};
    const std::u16string title = FGrid.Title(c);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, W(title), static_cast<int>(title.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  for (int v = 0; v < shown; ++v) {
    const int row = top + v;
    RECT indicator = CellRect(row, -1);
    fixedCell(indicator);
    PaintIndicator(dc, indicator, FGrid.Indicator(row));
    for (int c = first; c < cols; ++c) {
      RECT cell = CellRect(row, c);
      const bool current = row == FGrid.Row() && c == FGrid.Col();
      if (current) FillRect(dc, &cell, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(current && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      RECT text = {cell.left + 2, cell.top, cell.right - 2, cell.bottom};
      const std::u16string value = FGrid.Cell(row, c);
      DrawTextW(dc, W(value), static_cast<int>(value.size()), &text,
                DrawAlignment(FGrid.ColAlignment(c)) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    const int bottom = CellRect(row, 0).bottom;
    MoveToEx(dc, cIndicatorWidth + cLine, bottom, nullptr);
    LineTo(dc, right, bottom);
  }
  const int gridBottom = CellRect(top + std::max(shown, 0) - 1, 0).bottom;
  for (int c = first; c < cols; ++c) {
    const int x = FGrid.ColLeft(c + 1) - cLine;
    MoveToEx(dc, x, RowStep() - cLine, nullptr);
    LineTo(dc, x, std::max(gridBottom, static_cast<int>(RowStep() - cLine)));
  }
}

void TWin32GridPeer::Answer(TGridQuery& query) {
  query.RowCount = FGrid.RowCount();
  query.CurrentRow = FGrid.Row();
  query.CurrentCol = FGrid.Col();
  query.EditorMode = FGrid.EditorMode() ? TRUE : FALSE;
  std::u16string text;
  if (query.Col >= 0 && query.Col < FGrid.ColCount())
    text = query.Row < 0 ? FGrid.Title(query.Col) : FGrid.Cell(query.Row, query.Col);
  text = text.substr(0, std::size(query.Text) - 1);
  std::copy(text.begin(), text.end(), query.Text);
  query.Text[text.size()] = L'\0';
}

bool TWin32GridPeer::EditorForwards(WPARAM vk, TKey& key) const {
  if (!KeyOf(vk, key)) return false;
  DWORD start = 0, end = 0;
  SendMessageW(FEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const TEditorCaret caret{static_cast<int>(start), static_cast<int>(end), GetWindowTextLengthW(FEditor)};
  return FGrid.EditorPassesKey(key, ShiftNow(), caret);
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
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTTAB;
    case WM_KEYDOWN: {
      TKey key;
      if (EditorForwards(wParam, key) && FGrid.UserKeyDown(key, ShiftNow())) return 0;
      break;
    }
    case WM_CHAR: {
      const auto c = static_cast<char16_t>(wParam);
      if (c == u'\r' || c == u'\n' || c == u'\t' || c == 0x1B) return 0;  // the keys did their work
      if (!FGrid.AcceptsChar(c)) {
        MessageBeep(MB_OK);
        return 0;
      }
      break;
    }
    case WM_KILLFOCUS:
      LostFocus(reinterpret_cast<HWND>(wParam));
      break;
    default:
      break;
  }
  return DefSubclassProc(FEditor, message, wParam, lParam);
}

LRESULT TWin32GridPeer::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      ReportViewSize();
      SyncEditor();
      UpdateScroll();
      InvalidateRect(Window(), nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
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
      FDragCol = HitTitleBorder(x, y);
      if (FDragCol >= 0) {
        SetCapture(Window());
        return 0;
      }
      int row = 0, col = 0;
      if (HitCell(x, y, row, col)) FGrid.UserClick(row, col, message == WM_LBUTTONDBLCLK);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (FDragCol >= 0) FGrid.UserColWidth(FDragCol, GET_X_LPARAM(lParam) - FGrid.ColLeft(FDragCol));
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
        if (HitTitleBorder(at.x, at.y) >= 0) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_VSCROLL:
      return Scroll(TScrollBar::Vertical, LOWORD(wParam));
    case WM_HSCROLL:
      return Scroll(TScrollBar::Horizontal, LOWORD(wParam));
    case WM_MOUSEWHEEL:
      // A line per notch; a fine wheel's parts add up to notches.
      for (FWheel += GET_WHEEL_DELTA_WPARAM(wParam); FWheel >= WHEEL_DELTA; FWheel -= WHEEL_DELTA)
        FGrid.UserScroll(TScrollBar::Vertical, TScroll::LineBack);
      for (; FWheel <= -WHEEL_DELTA; FWheel += WHEEL_DELTA) FGrid.UserScroll(TScrollBar::Vertical, TScroll::LineOn);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == FEditor && HIWORD(wParam) == EN_CHANGE && !FSyncing)
        FGrid.UserEditChanged(WindowText(FEditor));
      return 0;
    case cGridQuery:
      Answer(*reinterpret_cast<TGridQuery*>(lParam));
      return 0;
    case cGridState:
      switch (wParam) {
        case 0: return FGrid.RowCount();
        case 1: return FGrid.Row();
        case 2: return FGrid.Col();
        case 3: return FGrid.LeftCol();
        case 4: return FGrid.EditorMode() ? 1 : 0;
        default: return -1;
      }
    default:
      break;
  }
  return DefWindowProcW(Window(), message, wParam, lParam);
}

}  // namespace

std::unique_ptr<IControlPeer> CreateGridPeer(TCustomGrid& grid, HWND form, int id) {
  return std::make_unique<TWin32GridPeer>(grid, form, id);
}

}  // namespace platform::win32
