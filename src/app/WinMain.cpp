// Process entry: reads no command-line arguments and no environment variables.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/uMain.h"
#include "platform/AtExit.h"
#include "platform/Backend.h"
#include "platform/ErrorBox.h"
#include "platform/win32/Win32.h"

namespace {

// The main window's life: its window, its creation handler, the message loop. An error in a
// handler shows in the error box and the loop goes on; one that escapes here (Windows refused
// the main window) ends the program.
void RunMainWindow(platform::IApplication& application) {
  app::TfrmMain form;
  app::frmMain = &form;
  platform::win32::SetErrorHandler(
      [&form](const std::exception& error) { platform::ShowException(error, form.Handle()); });
  // The handler names the form: it goes before the form does, on every way out.
  const platform::TAtExit handlerReset([] { platform::win32::SetErrorHandler(nullptr); });
  form.CreateHandle();
  form.Guarded([&form] { form.FormCreate(); });
  application.Run(form);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The shell starts programs and opens documents in this thread's apartment (SEE_MASK_NOASYNC),
  // and handlers that start through COM need one. It ends after every window is gone.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const platform::TAtExit comEnd([com] {
    if (SUCCEEDED(com)) CoUninitialize();
  });
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  std::unique_ptr<platform::TPlatform> backend = platform::CreateBackend();
  platform::SetCurrent(backend.get());
  int exitCode = 0;
  try {
    RunMainWindow(backend->App());
  } catch (const std::exception& error) {
    // Without its window the program cannot go on: the error box says why, and it ends.
    platform::ShowException(error);
    exitCode = 1;
  }
  platform::SetCurrent(nullptr);
  return exitCode;
}
