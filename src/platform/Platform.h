#pragma once
// Everything the program takes from Windows, behind one interface. The Win32 backend
// (platform/win32) does it for real; the stand-in backend (platform/standin) records and
// simulates, so the windows' behaviour runs in native tests.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace platform {

using THandle = std::uintptr_t;  // HWND or process HANDLE; 0 is none

struct TSize {
  int Width = 0;
  int Height = 0;
};

// SHELLEXECUTEINFOW as the program fills it; the rest of the record is zero.
struct TShellRequest {
  std::uint32_t Mask = 0;
  THandle Wnd = 0;
  std::u16string Verb;  // passed as a pointer to this text, even when empty
  std::u16string File;
  std::u16string Parameters;  // likewise
  int Show = 0;               // lpDirectory is always null
};

struct TShellResult {
  std::uint32_t InstApp = 0;  // hInstApp read as an unsigned number
  THandle Process = 0;
};

constexpr std::uint32_t cWaitTimeout = 258;
constexpr std::uint32_t cWaitFailed = 0xFFFFFFFF;

class IShell {
 public:
  virtual ~IShell() = default;
  virtual TShellResult Execute(const TShellRequest& request) = 0;
  virtual std::uint32_t WaitForInputIdle(THandle process, std::uint32_t milliseconds) = 0;
  virtual void CloseHandle(THandle handle) = 0;
};

class IWindowManager {
 public:
  virtual ~IWindowManager() = default;
  // Top-level windows in the window manager's order; the callback returns false to stop.
  virtual void EnumWindows(const std::function<bool(THandle)>& callback) = 0;
  // At most maxCount - 1 characters, as GetWindowTextW with a buffer of maxCount.
  virtual std::u16string WindowTitle(THandle window, int maxCount) = 0;
  virtual void PostClose(THandle window) = 0;
  virtual void SetForegroundWindow(THandle window) = 0;
  virtual void SetTopmost(THandle window, bool topmost) = 0;
  // Full size of the primary display in pixels.
  virtual TSize PrimaryScreenSize() = 0;
};

enum class TDialogAnswer { Ok, Cancel };

// What the file-open dialog is asked to show; Filter is "text|pattern|text|pattern".
struct TOpenDialogRequest {
  std::u16string Title;
  std::u16string Filter;
  int FilterIndex = 1;  // 1-based, as the dialog counts
  std::u16string DefaultExt;
  std::u16string InitialDir;
  std::u16string FileName;
  bool Resizable = true;
  bool KeepCurrentDir = true;  // asks the dialog not to move the current directory; Windows may not heed it
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The "確認" box: information icon, the text, one "OK".
  virtual void ShowMessage(THandle owner, const std::u16string& text) = 0;
  // The "確認" box with "OK" and "キャンセル".
  virtual TDialogAnswer Confirm(THandle owner, const std::u16string& text) = 0;
  // The application's error box: error icon, OK.
  virtual void ShowError(THandle owner, const std::u16string& title, const std::u16string& text) = 0;
  // Modal file-open dialog; false when cancelled.
  virtual bool OpenFile(THandle owner, const TOpenDialogRequest& request, std::u16string& chosen) = 0;
};

// A value of a version-information block, as the version library answers a look-up.
struct TVersionValue {
  std::uint32_t Length = 0;  // as stored: bytes for binary values, characters for text
  // From the value's start, at least as far as the value goes within the block.
  std::span<const std::uint8_t> Bytes;
};

// What a screen reader is told of one part of a control; the control decides it, the backend
// only answers with it.
enum TAccessState : unsigned { asFocused = 1, asSelected = 2, asReadOnly = 4, asUnavailable = 8 };
struct TAccessItem {
  std::u16string Name;
  std::u16string Value;
  unsigned State = 0;            // TAccessState bits
  std::u16string DefaultAction;  // empty: the part has none
};

// A change screen readers hear of.
enum class TAccessEvent { Focus, ValueChange, Reorder, StateChange };

// A peer that passes its control's changes on to screen readers.
class IAccessAnnouncer {
 public:
  // The part: a cell, a whole row (col -1) or the control itself (row -1 and col -1).
  virtual void Announce(TAccessEvent event, int row, int col) = 0;

 protected:
  ~IAccessAnnouncer() = default;
};

class TForm;

class IApplication {
 public:
  virtual ~IApplication() = default;
  // Shows the main form and runs the message loop until it closes or the program terminates.
  virtual void Run(TForm& mainForm) = 0;
  virtual std::u16string ExecutablePath() = 0;
  // Dispatches every waiting message, then returns; a quit message only marks termination.
  virtual void ProcessMessages() = 0;
  // Raw version-information block of a file; empty when it has none.
  virtual std::vector<std::uint8_t> ReadVersionBlock(const std::u16string& path) = 0;
  // The value at a path of such a block, such as \VarFileInfo\Translation; nullopt when absent.
  virtual std::optional<TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block,
                                                         const std::u16string& path) = 0;

  // Whether the program is ending, which stops the message loops; the same flag on every backend.
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }

 private:
  bool FTerminated = false;
};

class IWidgetFactory;

class TPlatform {
 public:
  virtual ~TPlatform() = default;
  virtual IFileSystem& Files() = 0;
  virtual IShell& Shell() = 0;
  virtual IWindowManager& Windows() = 0;
  virtual IDialogs& Dialogs() = 0;
  virtual IApplication& App() = 0;
  virtual IWidgetFactory& Widgets() = 0;
};

// A backend of one object per part, each reached through its interface; the backends differ
// only in the parts' classes.
template <class TFiles, class TShell, class TWindows, class TDialogs, class TApp, class TWidgets>
class TPlatformOf : public TPlatform {
 public:
  TFiles FilesImpl;
  TShell ShellImpl;
  TWindows WindowsImpl;
  TDialogs DialogsImpl;
  TApp AppImpl;
  TWidgets WidgetsImpl;

  IFileSystem& Files() override { return FilesImpl; }
  IShell& Shell() override { return ShellImpl; }
  IWindowManager& Windows() override { return WindowsImpl; }
  IDialogs& Dialogs() override { return DialogsImpl; }
  IApplication& App() override { return AppImpl; }
  IWidgetFactory& Widgets() override { return WidgetsImpl; }
};

// The backend in use; the program's entry or a test installs it.
TPlatform& Current();
void SetCurrent(TPlatform* platform);

}  // namespace platform
