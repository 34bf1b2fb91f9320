#include "platform/standin/StandIn.h"

namespace platform::standin {

TShellResult TStandInShell::Execute(const TShellRequest& request) {
  Requests.push_back(request);
  if (OnExecute) return OnExecute(request);
  return {42, FNextProcess++};
}

std::uint32_t TStandInShell::WaitForInputIdle(THandle process, std::uint32_t milliseconds) {
  Waits.emplace_back(process, milliseconds);
  if (OnWait) return OnWait(process, milliseconds);
  return process ? 0 : cWaitFailed;
}

void TStandInShell::CloseHandle(THandle handle) { ClosedHandles.push_back(handle); }

}  // namespace platform::standin
