// A grid in memory: it measures text with the stand-in's fixed metrics and records what it
// tells screen readers.
#include "platform/Grid.h"
#include "platform/standin/StandIn.h"

namespace platform::standin {

namespace {

class TStandInGridPeer final : public TStandInPeer, public IGridMetrics, public IAccessAnnouncer {
 public:
  TStandInGridPeer(TStandInWidgets& owner, THandle handle) : TStandInPeer(handle), FOwner(owner) {}
  int TextWidth(const std::u16string& text) override { return FOwner.CharWidth * static_cast<int>(text.size()); }
  int DigitWidth() override { return FOwner.DigitWidth; }
  int Overhang() override { return FOwner.Overhang; }
  void Announce(TAccessEvent event, int row, int col) override { FOwner.Announced.push_back({event, row, col}); }

 private:
  TStandInWidgets& FOwner;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateGridPeer(TStandInWidgets& owner, THandle handle) {
  return std::make_unique<TStandInGridPeer>(owner, handle);
}

}  // namespace platform::standin
