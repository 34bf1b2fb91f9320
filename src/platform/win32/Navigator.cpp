// A navigator as one window that draws its buttons, never takes the focus, shows a tool tip
// per button and repeats the repeating ones on a timer while they are held down.
#include "platform/win32/Peers.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Accessible.h"

namespace platform::win32 {

namespace {

const wchar_t* const cNavigatorClass = L"QuorvelNavigator";
constexpr UINT_PTR cRepeatTimer = 1;
// A screen reader's press, run after its call has returned: the delete question is modal.
constexpr UINT cPressMessage = WM_APP + 0x302;

// Draws a button's glyph centred in `rect`, sized by the button's height, in GDI shapes.
void DrawGlyph(HDC dc, TNavigatorGlyph glyph, const RECT& rect, COLORREF colour) {
  const int k = std::max(3, static_cast<int>(rect.bottom - rect.top) / 7);  // half a triangle's height
  const int cx = static_cast<int>(rect.left + rect.right) / 2;
  const int cy = static_cast<int>(rect.top + rect.bottom) / 2;
  const TOwnedBrush brush(CreateSolidBrush(colour));
  const TOwnedPen thin(CreatePen(PS_SOLID, 1, colour));
  const TOwnedPen thick(CreatePen(PS_SOLID, 2, colour));
  const TSelection brushSelected(dc, brush.Get());
  const TSelection thinSelected(dc, thin.Get());
  auto fill = [&](int left, int top, int right, int bottom) {
    RECT box{left, top, right, bottom};
    FillRect(dc, &box, brush.Get());
  };
  // A triangle whose tip points left or right, its tip at x.
  auto sideways = [&](int x, bool left) {
    const int base = left ? x + k : x - k;
    POINT points[] = {{base, cy - k}, {base, cy + k}, {x, cy}};
    Polygon(dc, points, 3);
  };
  auto line = [&](int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  const int half = (k + 3) / 2;  // half the width of a bar and a triangle side by side
  switch (glyph) {
    case TNavigatorGlyph::None: break;
    case TNavigatorGlyph::BarTriangleLeft:
      fill(cx - half, cy - k, cx - half + 2, cy + k + 1);
      sideways(cx - half + 3, true);
      break;
    case TNavigatorGlyph::TriangleLeft: sideways(cx - k / 2, true); break;
    case TNavigatorGlyph::TriangleRight: sideways(cx + k / 2, false); break;
    case TNavigatorGlyph::TriangleRightBar:
      sideways(cx + half - 3, false);
      fill(cx + half - 1, cy - k, cx + half + 1, cy + k + 1);
      break;
    case TNavigatorGlyph::Plus: fill(cx - 1, cy - k, cx + 1, cy + k); [[fallthrough]];
    case TNavigatorGlyph::Minus: fill(cx - k, cy - 1, cx + k, cy + 1); break;
    case TNavigatorGlyph::TriangleUp: {
      POINT points[] = {{cx - k, cy + k / 2}, {cx + k, cy + k / 2}, {cx, cy + k / 2 - k}};
      Polygon(dc, points, 3);
      break;
    }
    case TNavigatorGlyph::Check: {
      const TSelection thickSelected(dc, thick.Get());
      line(cx - k, cy, cx - k / 3, cy + k - 1);
      line(cx - k / 3, cy + k - 1, cx + k, cy - k);
      break;
    }
    case TNavigatorGlyph::Cross: {
      const TSelection thickSelected(dc, thick.Get());
      line(cx - k + 1, cy - k + 1, cx + k - 1, cy + k - 1);
      line(cx - k + 1, cy + k - 1, cx + k - 1, cy - k + 1);
      break;
    }
  }
}

// For screen readers a tool bar whose buttons are its simple elements.
class TWin32NavigatorPeer final : public TCustomWindowPeer, private IAccessSource {
 public:
  TWin32NavigatorPeer(TCustomNavigator& navigator, HWND form, int id);
  ~TWin32NavigatorPeer() override;
  void Changed(TProperty what) override;

 private:
  int AccessChildCount(TAccessPath path) override { return path.Index < 0 ? FNavigator.ButtonCount() : 0; }
  TAccessPart AccessPart(TAccessPath path) override;
  std::optional<TAccessPath> AccessFocus() override { return std::nullopt; }  // it never takes the focus
  std::optional<TAccessPath> AccessHit(POINT client) override;
  bool AccessDoDefault(TAccessPath path) override;
  bool AccessSimpleChildren() const override { return true; }
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;
  RECT ButtonRect(int button) const;
  int HitButton(int x, int y) const;
  void UpdateToolRects();
  void Paint(HDC dc, const RECT& client) override;
  void Release();

  TCustomNavigator& FNavigator;
  TOwnedWindow FTip;
  std::vector<std::wstring> FHints;  // the tool tips point into these
  int FPressed = -1;
  bool FOver = false;
  TAccessHost FAccess;
};

TWin32NavigatorPeer::TWin32NavigatorPeer(TCustomNavigator& navigator, HWND form, int id)
    : TCustomWindowPeer(navigator, cNavigatorClass, 0, 0, form, id), FNavigator(navigator), FAccess(Window(), *this) {
  if (!navigator.ShowHint) return;
  FTip.Reset(Checked(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Window(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr),
                     u"CreateWindowExW (tooltips_class32)"));
  SendMessageW(FTip.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(navigator.Font)), FALSE);
  for (int i = 0; i < navigator.ButtonCount(); ++i) {
    std::u16string hint = navigator.ButtonHint(i);
    FHints.emplace_back(hint.begin(), hint.end());
  }
  for (int i = 0; i < navigator.ButtonCount(); ++i) {
    TOOLINFOW tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Window();
    tool.uId = static_cast<UINT_PTR>(i);
    tool.rect = ButtonRect(i);
    tool.lpszText = FHints[static_cast<std::size_t>(i)].data();
    SendMessageW(FTip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

TWin32NavigatorPeer::~TWin32NavigatorPeer() {
  if (IsWindow(Window())) KillTimer(Window(), cRepeatTimer);
  FTip.Reset();
}

void TWin32NavigatorPeer::Changed(TProperty what) {
  TCustomWindowPeer::Changed(what);
  if (what == TProperty::Bounds) UpdateToolRects();
  if (what == TProperty::Content || what == TProperty::Enabled) InvalidateRect(Window(), nullptr, FALSE);
}

RECT TWin32NavigatorPeer::ButtonRect(int button) const {
  RECT client;
  GetClientRect(Window(), &client);
  const int count = std::max(1, FNavigator.ButtonCount());
  const int width = client.right / count;
  // The last button takes what the division leaves over.
  const int right = button == count - 1 ? client.right : (button + 1) * width;
  return {button * width, 0, right, client.bottom};
}

int TWin32NavigatorPeer::HitButton(int x, int y) const {
  for (int i = 0; i < FNavigator.ButtonCount(); ++i) {
    RECT rect = ButtonRect(i);
    POINT at{x, y};
    if (PtInRect(&rect, at)) return i;
  }
  return -1;
}

void TWin32NavigatorPeer::UpdateToolRects() {
  if (!FTip) return;
  for (int i = 0; i < FNavigator.ButtonCount(); ++i) {
    TOOLINFOW tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = sizeof(tool);
    tool.hwnd = Window();
    tool.uId = static_cast<UINT_PTR>(i);
    tool.rect = ButtonRect(i);
    SendMessageW(FTip.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TWin32NavigatorPeer::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  for (int i = 0; i < FNavigator.ButtonCount(); ++i) {
    RECT rect = ButtonRect(i);
    const bool enabled = FNavigator.ButtonEnabled(i);
    const bool down = enabled && i == FPressed && FOver;
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
    if (down) OffsetRect(&rect, 1, 1);
    const TNavigatorGlyph glyph = FNavigator.ButtonGlyph(i);
    if (enabled) {
      DrawGlyph(dc, glyph, rect, GetSysColor(COLOR_BTNTEXT));
      continue;
    }
    // Disabled: etched, as Windows draws a disabled button's image.
    RECT etch = rect;
    OffsetRect(&etch, 1, 1);
    DrawGlyph(dc, glyph, etch, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawGlyph(dc, glyph, rect, GetSysColor(COLOR_BTNSHADOW));
  }
}

TAccessPart TWin32NavigatorPeer::AccessPart(TAccessPath path) {
  TAccessPart part;
  if (path.Index < 0) {
    part.Role = ROLE_SYSTEM_TOOLBAR;
    part.Item.Name = FNavigator.AccessName;
    GetClientRect(Window(), &part.Client);
    return part;
  }
  part.Role = ROLE_SYSTEM_PUSHBUTTON;
  part.Item = FNavigator.AccessButton(path.Index);
  part.Client = ButtonRect(path.Index);
  return part;
}

std::optional<TAccessPath> TWin32NavigatorPeer::AccessHit(POINT client) {
  const int button = HitButton(client.x, client.y);
  return button < 0 ? std::nullopt : std::optional(TAccessPath{-1, button});
}

bool TWin32NavigatorPeer::AccessDoDefault(TAccessPath path) {
  if (path.Index < 0 || !FNavigator.ButtonEnabled(path.Index)) return false;
  return PostMessageW(Window(), cPressMessage, static_cast<WPARAM>(path.Index), 0) != FALSE;
}

void TWin32NavigatorPeer::Release() {
  KillTimer(Window(), cRepeatTimer);
  FPressed = -1;
  FOver = false;
  InvalidateRect(Window(), nullptr, FALSE);
}

LRESULT TWin32NavigatorPeer::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      UpdateToolRects();
      InvalidateRect(Window(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int button = HitButton(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (button < 0 || !FNavigator.ButtonEnabled(button)) return 0;
      FPressed = button;
      FOver = true;
      SetCapture(Window());
      InvalidateRect(Window(), nullptr, FALSE);
      if (FNavigator.ButtonRepeats(button)) {
        SetTimer(Window(), cRepeatTimer, static_cast<UINT>(FNavigator.RepeatDelay), nullptr);
        FNavigator.UserClick(button);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (FPressed >= 0) {
        const bool over = HitButton(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) == FPressed;
        if (over != FOver) {
          FOver = over;
          InvalidateRect(Window(), nullptr, FALSE);
        }
      }
      return 0;
    case WM_TIMER:
      if (wParam == cRepeatTimer && FPressed >= 0) {
        SetTimer(Window(), cRepeatTimer, static_cast<UINT>(FNavigator.RepeatInterval), nullptr);
        if (FOver && FNavigator.ButtonEnabled(FPressed)) FNavigator.UserClick(FPressed);
      }
      return 0;
    case WM_LBUTTONUP: {
      const int button = FPressed;
      const bool over = FOver;
      Release();
      if (GetCapture() == Window()) ReleaseCapture();
      if (button >= 0 && over && !FNavigator.ButtonRepeats(button)) FNavigator.UserClick(button);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (FPressed >= 0) Release();
      return 0;
    case cPressMessage: FNavigator.UserClick(static_cast<int>(wParam)); return 0;
    case WM_GETOBJECT:
      if (auto answer = FAccess.Answer(wParam, lParam)) return *answer;
      break;
    case cNavigatorEnabled: {
      LRESULT mask = 0;
      for (int i = 0; i < FNavigator.ButtonCount(); ++i)
        if (FNavigator.ButtonEnabled(i)) mask |= LRESULT(1) << i;
      return mask;
    }
    default: break;
  }
  return DefWindowProcW(Window(), message, wParam, lParam);
}

}  // namespace

std::unique_ptr<IControlPeer> CreateNavigatorPeer(TCustomNavigator& navigator, HWND form, int id) {
  return std::make_unique<TWin32NavigatorPeer>(navigator, form, id);
}

}  // namespace platform::win32
