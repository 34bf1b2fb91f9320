#include "platform/standin/StandIn.h"

#include "platform/Controls.h"
#include "platform/VersionBlock.h"

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

std::optional<TVersionValue> TStandInApp::QueryVersionValue(std::span<const std::uint8_t> block,
                                                            const std::u16string& path) {
  std::optional<TVersionBlock::TValue> value = TVersionBlock(block).Query(path);
  if (!value) return std::nullopt;
  return TVersionValue{value->Length, value->Bytes};
}

}  // namespace platform::standin
