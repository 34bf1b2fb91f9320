#pragma once
// The stand-in backend: in memory where Windows would act. Tests script what Windows
// would answer and read back what the program asked of it.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Grid.h"
#include "platform/Navigator.h"
#include "platform/Platform.h"
#include "platform/standin/Files.h"

namespace platform::standin {

// Border and title bar the stand-in adds to a form's client area.
constexpr int cFrameWidth = 3;
constexpr int cCaptionHeight = 23;

class TStandInShell : public IShell {
 public:
  std::vector<TShellRequest> Requests;
  std::vector<THandle> ClosedHandles;
  std::vector<std::pair<THandle, std::uint32_t>> Waits;  // process, milliseconds
  // Answers for ShellExecuteEx; by default a started process with a fresh handle.
  std::function<TShellResult(const TShellRequest&)> OnExecute;
  // Answers for WaitForInputIdle; by default 0 (ready at once).
  std::function<std::uint32_t(THandle, std::uint32_t)> OnWait;

  TShellResult Execute(const TShellRequest& request) override;
  std::uint32_t WaitForInputIdle(THandle process, std::uint32_t milliseconds) override;
  void CloseHandle(THandle handle) override;

 private:
  THandle FNextProcess = 0x1000;
};

class TStandInWindows : public IWindowManager {
 public:
  struct TWindow {
    THandle Handle;
    std::u16string Title;
  };
  std::vector<TWindow> TopLevel;         // other programs' windows, in enumeration order
  std::vector<THandle> Posted;           // windows sent WM_CLOSE
  std::vector<std::string> ZOrderCalls;  // "foreground", "topmost", "notopmost"
  TSize Screen{1920, 1080};
  // The program's own forms take part in the enumeration too.
  std::function<std::vector<TWindow>()> OwnWindows;

  void EnumWindows(const std::function<bool(THandle)>& callback) override;
  std::u16string WindowTitle(THandle window, int maxCount) override;
  void PostClose(THandle window) override;
  void SetForegroundWindow(THandle window) override;
  void SetTopmost(THandle window, bool topmost) override;
  TSize PrimaryScreenSize() override { return Screen; }
};

class TStandInDialogs : public IDialogs {
 public:
  std::vector<std::u16string> Messages;
  struct TError {
    std::u16string Title;
    std::u16string Text;
  };
  std::vector<TError> Errors;
  std::vector<std::u16string> Confirmations;
  TDialogAnswer ConfirmAnswer = TDialogAnswer::Ok;
  std::vector<TOpenDialogRequest> OpenRequests;
  // The user's choice in the file-open dialog; by default cancelled.
  std::function<bool(const TOpenDialogRequest&, std::u16string&)> OnOpenFile;
  // Runs while a message box is up (the user may act before answering).
  std::function<void()> OnMessage;

  void ShowMessage(THandle owner, const std::u16string& text) override;
  TDialogAnswer Confirm(THandle owner, const std::u16string& text) override;
  void ShowError(THandle owner, const std::u16string& title, const std::u16string& text) override;
  bool OpenFile(THandle owner, const TOpenDialogRequest& request, std::u16string& chosen) override;
};

class TStandInApp : public IApplication {
 public:
  std::u16string ExePath = u"C:\\Program Files\\Quorvel\\Quorvel.exe";
  std::map<std::u16string, std::vector<std::uint8_t>> VersionBlocks;
  int ProcessMessagesCalls = 0;
  // What "dispatching the waiting messages" does: a test runs nested actions here.
  std::function<void()> OnProcessMessages;

  // Shows the form; the loop itself is the test driving it.
  void Run(TForm& mainForm) override;
  std::u16string ExecutablePath() override { return ExePath; }
  void ProcessMessages() override;
  std::vector<std::uint8_t> ReadVersionBlock(const std::u16string& path) override;
  std::optional<TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block,
                                                 const std::u16string& path) override;
};

class TStandInWidgets : public IWidgetFactory {
 public:
  std::vector<TForm*> Forms;  // created and not yet destroyed; not owned
  // Runs when a form is shown modally; the test acts as the user and sets ModalResult.
  std::function<void(TForm&)> OnShowModal;
  // Text metrics in pixels, whatever the font: every character is CharWidth wide.
  int DigitWidth = 6;
  int Overhang = 0;
  int CharWidth = 6;
  // What the grids told screen readers, in order.
  struct TAnnouncement {
    TAccessEvent Event;
    int Row, Col;
    bool operator==(const TAnnouncement&) const = default;
  };
  std::vector<TAnnouncement> Announced;

  void CreateForm(TForm& form) override;
  TSize OuterSize(const TForm& form) override;
  // Every character CharWidth wide, a line two pixels higher than the font's characters.
  TSize TextExtent(const TFont& font, const std::u16string& text, bool prefix) override;
  void Forget(TForm* form);
};

// A control's peer in memory: a handle of its own and nothing to show.
class TStandInPeer : public IControlPeer {
 public:
  explicit TStandInPeer(THandle handle) : FHandle(handle) {}
  void Changed(TProperty) override {}
  THandle Handle() const override { return FHandle; }

 private:
  THandle FHandle;
};

// The form's peer remembers the focus; the grid's measures text with the owner's metrics.
std::unique_ptr<IFormPeer> CreateFormPeer(TForm& form, TStandInWidgets& owner, THandle handle);
std::unique_ptr<IControlPeer> CreateGridPeer(TStandInWidgets& owner, THandle handle);

class TStandInPlatform
    : public TPlatformOf<TStandInFiles, TStandInShell, TStandInWindows, TStandInDialogs, TStandInApp, TStandInWidgets> {
};

// The installed backend as the stand-in, for tests.
TStandInPlatform& StandIn();

}  // namespace platform::standin
