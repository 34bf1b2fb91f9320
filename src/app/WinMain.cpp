// Process entry: reads no command-line arguments and no environment variables.
#include <windows.h>
#include <commctrl.h>

#include "app/ErrorBox.h"
#include "app/uMain.h"
#include "platform/Backend.h"
#include "platform/win32/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  std::unique_ptr<platform::TPlatform> backend = platform::CreateBackend();
  platform::SetCurrent(backend.get());
  {
    app::TfrmMain form;
    app::frmMain = &form;
    platform::win32::SetErrorHandler([&form](const std::exception& error) { app::ShowException(error, form.Handle()); });
    form.CreateHandle();
    form.Guarded([&form] { form.FormCreate(); });
    backend->App().Run(form);
    platform::win32::SetErrorHandler(nullptr);
  }
  platform::SetCurrent(nullptr);
  return 0;
}
