// Starting programs through the shell, and the converter run.
#include "app/uMain.h"
#include "platform/AtExit.h"
#include "platform/Platform.h"

namespace app {

namespace {
constexpr std::uint32_t cSeeMaskNoCloseProcess = 0x40;
constexpr std::uint32_t cSeeMaskFlagDdeWait = 0x100;
constexpr std::uint32_t cSeeMaskFlagNoUi = 0x400;
constexpr int cSwHide = 0;
constexpr std::uint32_t cSliceMs = 50;
}  // namespace

std::uint32_t RunExeFile(platform::THandle hWnd, std::u16string AFile, std::u16string AParameters,
                         std::u16string Verb) {
  platform::TPlatform& os = platform::Current();
  platform::TShellRequest LInfo;
  LInfo.Mask = cSeeMaskNoCloseProcess | cSeeMaskFlagDdeWait | cSeeMaskFlagNoUi;
  LInfo.Wnd = hWnd;
  LInfo.Verb = std::move(Verb);
  LInfo.File = std::move(AFile);
  LInfo.Parameters = std::move(AParameters);
  LInfo.Show = cSwHide;
  platform::TShellResult result = os.Shell().Execute(LInfo);
  if (result.InstApp > 32) {
    // The handle is closed on every path, also when a handler run inside the wait fails.
    const platform::TAtExit closer([&os, process = result.Process] {
      if (process) os.Shell().CloseHandle(process);
    });
    std::uint32_t LRet;
    do {
      LRet = os.Shell().WaitForInputIdle(result.Process, cSliceMs);
      os.App().ProcessMessages();
    } while (LRet == platform::cWaitTimeout);
  }
  return result.InstApp;
}

std::uint32_t TfrmMain::ExecHalvorn(const std::u16string& Filename) {
  platform::TPlatform& os = platform::Current();
  std::uint32_t result = 0;
  std::u16string LExePath = os.Files().ExpandFileName(cExeName);
  if (!os.Files().FileExists(LExePath)) {
    os.Dialogs().ShowMessage(Handle(), u"実行ファイルが見つかりません");
    return result;
  }
  std::u16string LParams = u"\"" + Filename + u"\" ";
  LParams += u"-o \"" + FPFileName + u"\" ";
  LParams += u"-b";
  std::uint32_t LhInstance = RunExeFile(Handle(), LExePath, LParams, u"");
  result = LhInstance;
  if (result <= 32) os.Dialogs().ShowMessage(Handle(), u"起動の失敗");
  return result;
}

}  // namespace app
