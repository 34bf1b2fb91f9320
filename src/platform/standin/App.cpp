#include "platform/standin/StandIn.h"

#include "platform/Controls.h"

namespace platform::standin {

void TStandInApp::Run(TForm& mainForm) { mainForm.Show(); }

void TStandInApp::ProcessMessages() {
  ++ProcessMessagesCalls;
  if (OnProcessMessages) OnProcessMessages();
}

std::vector<std::uint8_t> TStandInApp::ReadVersionBlock(const std::u16string& path) {
  auto found = VersionBlocks.find(path);
  return found == VersionBlocks.end() ? std::vector<std::uint8_t>{} : found->second;
}

}  // namespace platform::standin
