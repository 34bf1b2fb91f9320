#pragma once
// The real backend: each operation is one or a few Win32 calls.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Grid.h"
#include "platform/Navigator.h"
#include "platform/Platform.h"
#include "platform/win32/Files.h"

namespace platform::win32 {

// wchar_t is 16 bits on Windows, so UTF-16 text passes through unchanged.
inline const wchar_t* WideText(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}
inline HWND ToHwnd(THandle handle) { return reinterpret_cast<HWND>(handle); }
inline THandle ToHandle(HWND window) { return reinterpret_cast<THandle>(window); }

COLORREF ColorRef(TColor color);
// Whether the user's High Contrast setting is on.
bool HighContrast();
// A text's colour: one of the layout's own gives way to the scheme's text colour while High
// Contrast is on, where blue or maroon could vanish into the scheme's background.
COLORREF TextColorRef(TColor color);
// The program's fonts by name and height, and its solid brushes by colour (a system colour gives
// the system's brush): shared by all windows and kept for the process's life; not the caller's.
HFONT FontFor(const TFont& font);
HBRUSH BrushFor(TColor color);

class TWin32Shell : public IShell {
 public:
  TShellResult Execute(const TShellRequest& request) override;
  std::uint32_t WaitForInputIdle(THandle process, std::uint32_t milliseconds) override;
  void CloseHandle(THandle handle) override;
};

class TWin32Windows : public IWindowManager {
 public:
  void EnumWindows(const std::function<bool(THandle)>& callback) override;
  std::u16string WindowTitle(THandle window, int maxCount) override;
  void PostClose(THandle window) override;
  void SetForegroundWindow(THandle window) override;
  void SetTopmost(THandle window, bool topmost) override;
  TSize PrimaryScreenSize() override;
};

class TWin32Dialogs : public IDialogs {
 public:
  void ShowMessage(THandle owner, const std::u16string& text) override;
  TDialogAnswer Confirm(THandle owner, const std::u16string& text) override;
  void ShowError(THandle owner, const std::u16string& title, const std::u16string& text) override;
  bool OpenFile(THandle owner, const TOpenDialogRequest& request, std::u16string& chosen) override;
};

class TWin32App : public IApplication {
 public:
  void Run(TForm& mainForm) override;
  std::u16string ExecutablePath() override;
  void ProcessMessages() override;
  std::vector<std::uint8_t> ReadVersionBlock(const std::u16string& path) override;
  std::optional<TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block,
                                                 const std::u16string& path) override;

  HWND MainWindow = nullptr;
};

class TWin32Widgets : public IWidgetFactory {
 public:
  void CreateForm(TForm& form) override;
  TSize OuterSize(const TForm& form) override;
  TSize TextExtent(const TFont& font, const std::u16string& text, bool prefix) override;
};

// A grid window answers cGridQuery with what it shows: lParam points to a TGridQuery whose
// Row (-1: the title row) and Col name the cell; a cell out of view has an empty text.
constexpr UINT cGridQuery = WM_APP + 0x320;
struct TGridQuery {
  int Row = 0;
  int Col = 0;
  int RowCount = 0;         // answered
  int CurrentRow = 0;       // answered
  int CurrentCol = 0;       // answered
  BOOL EditorMode = FALSE;  // answered
  wchar_t Text[256] = {};   // answered: the cell's text
};
// A grid window answers cGridState with one number, also to another process: wParam 0 the
// row count, 1 the current row, 2 the current column, 3 the first column shown, 4 whether the
// editor is open.
constexpr UINT cGridState = WM_APP + 0x322;
// A navigator window answers cNavigatorEnabled with a bit per enabled button.
constexpr UINT cNavigatorEnabled = WM_APP + 0x321;

// Keyboard routing of the forms (shortcuts, Tab, Enter, accelerators); true when handled.
bool PreTranslate(MSG& message);

// Where an error that escaped a handler goes; window procedures never let one through.
void SetErrorHandler(std::function<void(const std::exception&)> handler);
void ReportError(const std::exception& error);

class TWin32Platform
    : public TPlatformOf<TWin32Files, TWin32Shell, TWin32Windows, TWin32Dialogs, TWin32App, TWin32Widgets> {};

}  // namespace platform::win32
