#include "platform/win32/Win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace platform::win32 {

namespace {

const std::u16string cConfirmCaption = u"確認";

using TTaskDialogIndirect = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Present only with version 6 of the common controls, which the manifest asks for.
TTaskDialogIndirect TaskDialogFunction() {
  HMODULE module = GetModuleHandleW(L"comctl32.dll");  // not owned: loaded for the process's life
  if (!module) return nullptr;
  return reinterpret_cast<TTaskDialogIndirect>(reinterpret_cast<void*>(GetProcAddress(module, "TaskDialogIndirect")));
}

int ShowTaskDialog(THandle owner, const std::u16string& text, bool withCancel) {
  UpdatePeers();  // the box's loop repaints the windows: they show the state as it stands
  static const std::u16string okText = u"OK";
  static const std::u16string cancelText = u"キャンセル";
  TASKDIALOG_BUTTON buttons[] = {{IDOK, WideText(okText)}, {IDCANCEL, WideText(cancelText)}};
  TASKDIALOGCONFIG config;
  ZeroMemory(&config, sizeof(config));
  config.cbSize = sizeof(config);
  config.hwndParent = ToHwnd(owner);
  // Esc, Alt+F4 and the close box end the box; with "OK" alone its answer is not used.
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.pszWindowTitle = WideText(cConfirmCaption);
  config.pszMainIcon = TD_INFORMATION_ICON;
  config.pszContent = WideText(text);
  config.pButtons = buttons;
  config.cButtons = withCancel ? 2 : 1;
  config.nDefaultButton = IDOK;
  int pressed = IDCANCEL;
  if (TTaskDialogIndirect taskDialog = TaskDialogFunction()) {
    if (SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr))) return pressed;
  }
  UINT style = withCancel ? (MB_OKCANCEL | MB_ICONQUESTION) : (MB_OK | MB_ICONINFORMATION);
  return MessageBoxW(ToHwnd(owner), WideText(text), WideText(cConfirmCaption), style);
}

// "text|pattern|text|pattern" becomes the dialog's list of null-terminated pairs.
std::vector<wchar_t> FilterList(const std::u16string& filter) {
  std::vector<wchar_t> list;
  for (char16_t c : filter) list.push_back(c == u'|' ? L'\0' : static_cast<wchar_t>(c));
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

void TWin32Dialogs::ShowMessage(THandle owner, const std::u16string& text) { ShowTaskDialog(owner, text, false); }

TDialogAnswer TWin32Dialogs::Confirm(THandle owner, const std::u16string& text) {
  return ShowTaskDialog(owner, text, true) == IDOK ? TDialogAnswer::Ok : TDialogAnswer::Cancel;
}

void TWin32Dialogs::ShowError(THandle owner, const std::u16string& title, const std::u16string& text) {
  UpdatePeers();
  MessageBoxW(ToHwnd(owner), WideText(text), WideText(title), MB_OK | MB_ICONERROR);
}

bool TWin32Dialogs::OpenFile(THandle owner, const TOpenDialogRequest& request, std::u16string& chosen) {
  UpdatePeers();
  std::vector<wchar_t> filter = FilterList(request.Filter);
  std::vector<wchar_t> file(32768, L'\0');
  std::u16string name = request.FileName.substr(0, file.size() - 1);
  std::copy(name.begin(), name.end(), file.begin());
  OPENFILENAMEW ofn;
  ZeroMemory(&ofn, sizeof(ofn));
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = ToHwnd(owner);
  ofn.lpstrFilter = filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(request.FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = request.InitialDir.empty() ? nullptr : WideText(request.InitialDir);
  ofn.lpstrTitle = WideText(request.Title);
  ofn.lpstrDefExt = request.DefaultExt.empty() ? nullptr : WideText(request.DefaultExt);
  ofn.Flags =
      OFN_EXPLORER | (request.Resizable ? OFN_ENABLESIZING : 0) | (request.KeepCurrentDir ? OFN_NOCHANGEDIR : 0);
  if (!GetOpenFileNameW(&ofn)) return false;
  chosen = FromWide(file.data());
  return true;
}

}  // namespace platform::win32
