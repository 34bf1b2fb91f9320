#pragma once
// A row of push buttons drawn as one control that never takes the focus; which buttons there
// are and what they do come from a subclass.
#include <string>

#include "platform/Controls.h"

namespace platform {

// The shape a button shows; the backend draws each itself, so no font needs to have it.
enum class TNavigatorGlyph {
  None,
  BarTriangleLeft,
  TriangleLeft,
  TriangleRight,
  TriangleRightBar,
  Plus,
  Minus,
  TriangleUp,
  Check,
  Cross
};

class TCustomNavigator : public TControl {
 public:
  explicit TCustomNavigator(std::string name) : TControl(TControlKind::Navigator, std::move(name)) {}

  bool ShowHint = false;
  // A repeating button clicks when pressed, after RepeatDelay and then every RepeatInterval
  // milliseconds while held; the others click when released.
  int RepeatDelay = 0;
  int RepeatInterval = 0;

  virtual int ButtonCount() const = 0;
  virtual TNavigatorGlyph ButtonGlyph(int button) const = 0;
  virtual std::u16string ButtonHint(int button) const = 0;
  virtual bool ButtonEnabled(int button) const = 0;
  virtual bool ButtonRepeats(int button) const = 0;
  // From the backend; a disabled button does nothing, and errors are the navigator's to show.
  virtual void UserClick(int button) = 0;

  // Screen readers find a tool bar of this name, each button named by its tool tip and
  // unavailable while disabled; its default action is UserClick.
  std::u16string AccessName;
  TAccessItem AccessButton(int button) const {
    return {ButtonHint(button), u"", ButtonEnabled(button) ? 0u : unsigned{asUnavailable}, u"押す"};
  }

  // The backend redraws the buttons' states.
  void Invalidate() { Notify(TProperty::Content); }
};

}  // namespace platform
