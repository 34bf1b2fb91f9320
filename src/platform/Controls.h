#pragma once
// Portable controls. Each control keeps its own state and tells its backend peer what
// changed; the backend reports what the user did through the User* calls. The stand-in
// backend needs nothing more, so the windows' behaviour runs without Windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

// 0x00BBGGRR, or a system colour when cSystemColor is set (low byte: COLOR_* index).
using TColor = std::uint32_t;
constexpr TColor cSystemColor = 0x80000000u;
constexpr TColor clBtnFace = cSystemColor | 15u;
constexpr TColor clWindow = cSystemColor | 5u;
constexpr TColor clWindowText = cSystemColor | 8u;
constexpr TColor clBlue = 0x00FF0000u;
constexpr TColor clMaroon = 0x00000080u;

struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const TRect&) const = default;
};

struct TFont {
  std::u16string Name = u"Tahoma";
  int Height = 11;  // character height in pixels
  TColor Color = clWindowText;
};

enum class TControlKind { Form, Edit, Button, CheckBox, Label, Panel, Grid, Navigator };
enum class TAlignment { Left, Right, Center };
enum class TProperty { Text, Enabled, Checked, Bounds, Action, Content };

// A letter key with its modifiers; a shortcut matches only with exactly these modifiers. 0 is none.
struct TShortCut {
  bool Ctrl = false;
  char16_t Key = 0;  // upper-case letter
  bool Shift = false;
  bool Alt = false;
  bool operator==(const TShortCut&) const = default;
  bool Empty() const { return Key == 0; }
  std::u16string Text() const;  // "Ctrl+R"
};

// The letter after the first single "&" of a caption, in upper case; 0 when there is none.
char16_t AcceleratorOf(const std::u16string& caption);

class TControl;
class TForm;

// While a handler runs, the peers hear of its changes only when it ends, or before a wait that
// dispatches messages, so Windows sees each handler's end state once and nested actions and
// repaints see the state as it stands.
class THandlerRun {
 public:
  THandlerRun();
  ~THandlerRun();  // hands nothing over: UpdatePeers does, where an error can be reported
  THandlerRun(const THandlerRun&) = delete;
  THandlerRun& operator=(const THandlerRun&) = delete;
  static bool Running();
};
// Hands every change still waiting to its control's peer.
void UpdatePeers();

// Backend side of one control.
class IControlPeer {
 public:
  virtual ~IControlPeer() = default;
  virtual void Changed(TProperty what) = 0;
  virtual THandle Handle() const = 0;
};

class TControl {
 public:
  TControl(TControlKind kind, std::string name);
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // Attributes, fixed before the window is created.
  const TControlKind Kind;
  const std::string Name;
  TRect Bounds;       // in the parent's client pixels
  int TabOrder = -1;  // -1: not a tab stop
  TFont Font;
  TColor Color = clBtnFace;
  TAlignment Alignment = TAlignment::Left;
  // Moving the focus here checks nothing the user typed elsewhere: it is about to be thrown away.
  bool DiscardsInput = false;

  const std::u16string& Text() const { return FText; }
  virtual void SetText(const std::u16string& value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);

  void AttachPeer(std::unique_ptr<IControlPeer> peer);
  IControlPeer* Peer() const { return FPeer.get(); }
  THandle Handle() const { return FPeer ? FPeer->Handle() : 0; }

  // The panel this control stands in; its Bounds are then in the panel's pixels. Not owned.
  TControl* Parent() const { return FParent; }
  void SetParent(TControl* parent);
  // Bounds in the form's client pixels, through the parents.
  TRect FormBounds() const;
  // Moves the control; the controls standing in it move along.
  void SetBounds(const TRect& bounds);
  // Its form was shown or hidden (TForm::Showing): a view that follows data catches up here.
  virtual void ShowingChanged() {}

 protected:
  void Notify(TProperty what);
  std::u16string FText;
  bool FEnabled = true;

 private:
  void NotifyMoved();
  friend void UpdatePeers();
  std::unique_ptr<IControlPeer> FPeer;
  unsigned FWaiting = 0;  // properties changed while a handler runs, one bit each
  TControl* FParent = nullptr;
  std::vector<TControl*> FChildren;  // not owned
};

// A plain area that other controls stand in.
class TPanel : public TControl {
 public:
  explicit TPanel(std::string name) : TControl(TControlKind::Panel, std::move(name)) {}
};

class TAction;

// An action's caption, shortcut and enabled state show in every control bound to it.
class TAction {
 public:
  TAction(std::string name, std::u16string caption, TShortCut shortCut);
  const std::string Name;
  const std::u16string Caption;
  const TShortCut ShortCut;
  std::function<void()> OnExecute;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Runs the handler when enabled and present; true when it ran.
  bool Execute();

  void AddClient(TControl* client) { FClients.push_back(client); }
  void RemoveClient(TControl* client);

 private:
  bool FEnabled = true;
  std::vector<TControl*> FClients;
};

class TActionList {
 public:
  void Add(TAction* action) { FActions.push_back(action); }
  const std::vector<TAction*>& Actions() const { return FActions; }
  // The list's first update disables every action that has no handler.
  void Update();
  bool Updated() const { return FUpdated; }
  // Executes the enabled action with this shortcut; true when one ran.
  bool HandleShortCut(TShortCut shortCut);

 private:
  std::vector<TAction*> FActions;
  bool FUpdated = false;
};

class TButton : public TControl {
 public:
  explicit TButton(std::string name) : TControl(TControlKind::Button, std::move(name)) {}
  ~TButton() override;
  TButton(const TButton&) = delete;
  TButton& operator=(const TButton&) = delete;
  bool Default = false;
  void SetAction(TAction* action, const std::u16string& ownCaption = {});
  TAction* Action() const { return FAction; }
  std::function<void()> OnClick;
  // A press by mouse, Space, Enter or accelerator.
  void UserClick();

 private:
  TAction* FAction = nullptr;
};

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(std::string name) : TControl(TControlKind::CheckBox, std::move(name)) {}
  bool Checked() const { return FChecked; }
  // Only an actual change of state runs OnClick.
  void SetChecked(bool value);
  std::function<void()> OnClick;
  void UserClick() { SetChecked(!FChecked); }

 private:
  bool FChecked = false;
};

class TLabel : public TControl {
 public:
  explicit TLabel(std::string name) : TControl(TControlKind::Label, std::move(name)) {}
  TControl* FocusControl = nullptr;  // its Alt accelerator moves the focus there; not owned
  // Makes the label lead to `box`: as wide as its caption in its font, ending 3 pixels left of
  // the box and centred on it vertically.
  void PlaceBeside(TControl& box);
};

class TEdit : public TControl {
 public:
  explicit TEdit(std::string name) : TControl(TControlKind::Edit, std::move(name)) { Color = clWindow; }
  bool ReadOnly = false;
  bool ImeOff = true;
  std::function<void()> OnChange;
  // Every change of the text runs OnChange, whoever made it.
  void SetText(const std::u16string& value) override;
  // From the backend: the widget's text is now `value`.
  void UserChanged(const std::u16string& value) { SetText(value); }
};

class TMenuItem {
 public:
  TMenuItem(std::string name, TAction* action) : Name(std::move(name)), FAction(action) {}
  static TMenuItem Separator(std::string name);
  std::string Name;
  bool IsSeparator() const { return FSeparator; }
  TAction* Action() const { return FAction; }
  std::u16string Caption() const;
  bool Enabled() const;
  void UserClick();

 private:
  TAction* FAction = nullptr;
  bool FSeparator = false;
};

class TPopupMenu {
 public:
  explicit TPopupMenu(TActionList* actions) : FActions(actions) {}
  std::vector<TMenuItem> Items;
  // Before the menu opens the action list updates, so the entries show current states.
  void BeforePopup() {
    if (FActions) FActions->Update();
  }

 private:
  TActionList* FActions;
};

// Backend side of a form: the window itself.
class IFormPeer : public IControlPeer {
 public:
  // Outer rectangle of the restored window, in screen pixels.
  virtual TRect WindowRect() const = 0;
  virtual void SetFocus(TControl* control) = 0;
  virtual TControl* Focused() const = 0;
  virtual void Show() = 0;
  // Runs a modal loop until the form's ModalResult is set; returns it.
  virtual int ShowModal() = 0;
  virtual void Close() = 0;
};

class TForm : public TControl {
 public:
  explicit TForm(std::string name) : TControl(TControlKind::Form, std::move(name)) {}
  ~TForm() override;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;
  enum class TBorder { SingleFixed, Sizeable };
  TBorder Border = TBorder::SingleFixed;
  bool SystemMenu = true;
  bool MinimizeBox = true;
  bool MaximizeBox = false;
  int ClientWidth = 0;
  int ClientHeight = 0;
  // A sizeable form cannot be made smaller than this client area; 0: no limit.
  int MinClientWidth = 0;
  int MinClientHeight = 0;
  TForm* Owner = nullptr;             // a dialog's owner window; not owned
  TActionList* ActionList = nullptr;  // not owned
  TPopupMenu* PopupMenu = nullptr;    // not owned
  std::vector<TControl*> Controls;    // in creation (z-) order; not owned
  std::function<void()> OnClose;
  std::function<void()> OnResize;  // after the user resized a sizeable form
  int ModalResult = 0;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  void SetLeft(int value);
  void SetTop(int value);
  // Whole window with border and title bar.
  TSize OuterSize() const;
  // Edges of the restored window, also while it is minimised.
  TRect RestoredRect() const;

  // Creates the window and its controls through the backend.
  void CreateHandle();
  IFormPeer* FormPeer() const;
  void Show();
  int ShowModal();
  // Between Show or ShowModal and the end of the showing: someone can see the form.
  bool Showing() const { return FShowing; }
  void SetFocus(TControl* control);
  TControl* Focused() const;
  // Moves the focus to the next (or previous) enabled control in tab order after `from`, round;
  // from none, to the first (or last).
  void SelectNext(TControl* from, bool forward);
  // The box that the label with this Alt accelerator leads to; null when none does.
  TControl* AcceleratorTarget(char16_t letter) const;
  // A close request (title bar, Alt+F4): runs OnClose, then the window goes; a modal form
  // ends its showing with result 2 instead.
  void UserClose();
  // From the backend: the client area of a sizeable form now has this size.
  void UserResized(int clientWidth, int clientHeight);
  bool Closed() const { return FClosed; }
  TControl* FindControl(const std::string& name) const;

 private:
  int FLeft = 0;
  int FTop = 0;
  bool FClosed = false;
  bool FModal = false;
  bool FShowing = false;
  void SetShowing(bool showing);
};

class IWidgetFactory {
 public:
  virtual ~IWidgetFactory() = default;
  // Creates the window and a peer for each of its controls.
  virtual void CreateForm(TForm& form) = 0;
  // Outer size for a form of this style and client size.
  virtual TSize OuterSize(const TForm& form) = 0;
  // A caption's size in this font; with `prefix`, "&" marks an accelerator and takes no room.
  virtual TSize TextExtent(const TFont& font, const std::u16string& text, bool prefix) = 0;
};

}  // namespace platform
