#pragma once
// A small open-addressing map from a name hash to a position (a section or a line number).
// Names are checked by the caller, so two names of one hash only cost a slower search.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace settings {

class THashIndex {
 public:
  static constexpr std::uint32_t cNone = 0xFFFFFFFF;

  explicit THashIndex(std::size_t expected = 0) { Rehash(SlotsFor(expected)); }

  // The position stored under hash; cNone when there is none.
  std::uint32_t Find(std::uint64_t hash) const {
    for (std::size_t i = Home(hash);; i = (i + 1) & FMask) {
      if (FSlots[i].Hash == hash) return FSlots[i].Position;
      if (FSlots[i].Hash == 0) return cNone;
    }
  }

  // The position under hash, for reading and changing; cNone when newly added.
  std::uint32_t& Slot(std::uint64_t hash) {
    if ((FUsed + 1) * 2 > FSlots.size()) Rehash(FSlots.size() * 2);
    std::size_t i = Home(hash);
    while (FSlots[i].Hash != hash && FSlots[i].Hash != 0) i = (i + 1) & FMask;
    if (FSlots[i].Hash == 0) {
      FSlots[i].Hash = hash;
      ++FUsed;
    }
    return FSlots[i].Position;
  }

 private:
  struct TSlot {
    std::uint64_t Hash = 0;  // 0: free (name hashes are never 0)
    std::uint32_t Position = cNone;
  };

  static std::size_t SlotsFor(std::size_t count) {
    std::size_t slots = 16;
    while (slots < count * 2) slots *= 2;
    return slots;
  }
  std::size_t Home(std::uint64_t hash) const { return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> FShift); }

  void Rehash(std::size_t slots) {
    std::vector<TSlot> old;
    old.swap(FSlots);
    FSlots.resize(slots);
    FMask = slots - 1;
    FShift = 64;
    for (std::size_t s = slots; s > 1; s /= 2) --FShift;
    FUsed = 0;
    for (const TSlot& slot : old) {
      if (slot.Hash != 0) Slot(slot.Hash) = slot.Position;
    }
  }

  std::vector<TSlot> FSlots;
  std::size_t FMask = 0;
  unsigned FShift = 64;
  std::size_t FUsed = 0;
};

}  // namespace settings
