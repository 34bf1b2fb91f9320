#pragma once
// Peak heap use of one piece of work, counted by the bench program's own global operator
// new and delete. Memory the C library allocates with malloc directly is not seen here; the
// resident-set high-water mark below catches that too, at page granularity.
#include <cstddef>
#include <functional>

namespace bench {

struct TMemoryUse {
  std::size_t HeapPeak = 0;  // bytes: most live operator-new memory above the level at the start
  std::size_t RssPeak = 0;   // bytes: rise of the resident high-water mark (0 when unavailable)
};

// Runs work once and measures it.
TMemoryUse MeasureMemory(const std::function<void()>& work);

}  // namespace bench
