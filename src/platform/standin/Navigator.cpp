// A navigator in memory: tests click its buttons through the control itself.
#include "platform/Navigator.h"
#include "platform/standin/StandIn.h"

namespace platform::standin {

namespace {

class TStandInNavigatorPeer : public IControlPeer {
 public:
  explicit TStandInNavigatorPeer(THandle handle) : FHandle(handle) {}
  void Changed(TProperty) override {}
  THandle Handle() const override { return FHandle; }

 private:
  THandle FHandle;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateNavigatorPeer(TCustomNavigator&, THandle handle) {
  return std::make_unique<TStandInNavigatorPeer>(handle);
}

}  // namespace platform::standin
