#include "platform/Grid.h"

namespace platform {

int TCustomGrid::ColLeft(int col) const {
  int left = cIndicatorWidth + cLineWidth;
  for (int c = LeftCol(); c < col; ++c) left += ColWidth(c) + cLineWidth;
  return left;
}

}  // namespace platform
