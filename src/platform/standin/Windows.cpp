#include "platform/standin/StandIn.h"

namespace platform::standin {

void TStandInWindows::EnumWindows(const std::function<bool(THandle)>& callback) {
  // A copy: a callback may post to or change the list.
  std::vector<TWindow> all = TopLevel;
  if (OwnWindows) {
    std::vector<TWindow> own = OwnWindows();
    all.insert(all.begin(), own.begin(), own.end());
  }
  for (const TWindow& window : all)
    if (!callback(window.Handle)) return;
}

std::u16string TStandInWindows::WindowTitle(THandle window, int maxCount) {
  std::u16string title;
  bool found = false;
  for (const TWindow& w : TopLevel)
    if (w.Handle == window) title = w.Title, found = true;
  if (!found && OwnWindows)
    for (const TWindow& w : OwnWindows())
      if (w.Handle == window) title = w.Title;
  if (maxCount <= 0) return {};
  if (title.size() > static_cast<std::size_t>(maxCount - 1)) title.resize(maxCount - 1);
  return title;
}

void TStandInWindows::PostClose(THandle window) { Posted.push_back(window); }

void TStandInWindows::SetForegroundWindow(THandle) { ZOrderCalls.emplace_back("foreground"); }

void TStandInWindows::SetTopmost(THandle, bool topmost) { ZOrderCalls.emplace_back(topmost ? "topmost" : "notopmost"); }

}  // namespace platform::standin
