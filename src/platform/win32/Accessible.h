#pragma once
// What screen readers find in a window the program draws itself: a hand-written IAccessible
// over what the window's peer answers. The objects hold a link to the peer, never the peer:
// the peer cuts it when its window goes, and an object kept after that answers every call
// with CO_E_OBJNOTCONNECTED.
#include <memory>
#include <optional>

#include "platform/win32/Win32.h"

namespace platform::win32 {

// One part of the window: the window's own object (both -1), one of its children (Parent -1),
// or a child's child. Indices count from 0.
struct TAccessPath {
  int Parent = -1;
  int Index = -1;
  bool operator==(const TAccessPath&) const = default;
};

struct TAccessPart {
  DWORD Role = 0;  // ROLE_SYSTEM_*
  TAccessItem Item;
  DWORD SystemState = 0;  // STATE_SYSTEM_* the backend adds: focusable, selectable, offscreen
  RECT Client{};          // in the window's client pixels
};

// What a peer answers about its window's parts. The window's children that have children of
// their own (rows) stand one under the other, all others side by side.
class IAccessSource {
 public:
  virtual int AccessChildCount(TAccessPath path) = 0;
  virtual TAccessPart AccessPart(TAccessPath path) = 0;
  // The part that has the keyboard focus; none while the window lacks it.
  virtual std::optional<TAccessPath> AccessFocus() = 0;
  // The part at a point of the client area; none: the window itself.
  virtual std::optional<TAccessPath> AccessHit(POINT client) = 0;
  // False when the part has no default action or it is unavailable.
  virtual bool AccessDoDefault(TAccessPath path) = 0;
  // The window's children are simple elements that the window's object answers for.
  virtual bool AccessSimpleChildren() const { return false; }

 protected:
  ~IAccessSource() = default;
};

struct TAccessLink;

// A peer's side for screen readers: answers WM_GETOBJECT and announces changes of its window.
class TAccessHost {
 public:
  TAccessHost(HWND window, IAccessSource& source);
  ~TAccessHost();  // cuts the objects' link
  TAccessHost(const TAccessHost&) = delete;
  TAccessHost& operator=(const TAccessHost&) = delete;

  // WM_GETOBJECT: the window's object for OBJID_CLIENT; none for the others, which are
  // DefWindowProcW's.
  std::optional<LRESULT> Answer(WPARAM wParam, LPARAM lParam);
  void Announce(DWORD event, TAccessPath path);

 private:
  std::shared_ptr<TAccessLink> FLink;
};

}  // namespace platform::win32
