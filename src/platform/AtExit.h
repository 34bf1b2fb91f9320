#pragma once
// Runs a function when its scope ends, on every path: for a one-off clean-up that has no owner.
#include <utility>

namespace platform {

template <class TFunction>
class TAtExit {
 public:
  explicit TAtExit(TFunction function) : FFunction(std::move(function)) {}
  ~TAtExit() { FFunction(); }
  TAtExit(const TAtExit&) = delete;
  TAtExit& operator=(const TAtExit&) = delete;

 private:
  TFunction FFunction;
};

}  // namespace platform
