#pragma once
// A small open-addressing map from a name hash to a position (a section or a line number).
// A slot keeps 32 bits of the hash, so that a big index stays small and near in the cache.
// Names are checked by the caller, so two names that share those bits only cost a slower search.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace settings {

class THashIndex {
 public:
  static constexpr std::uint32_t cNone = 0xFFFFFFFF;

  explicit THashIndex(std::size_t expected = 0) { Rehash(SlotsFor(expected)); }

  // The bits of a hash that a slot keeps; hashes of one tag share a slot.
  static std::uint32_t Tag(std::uint64_t hash) {
    const auto tag = static_cast<std::uint32_t>(hash ^ (hash >> 32));
    return tag == 0 ? 1 : tag;
  }
  static bool SameSlot(std::uint64_t a, std::uint64_t b) { return Tag(a) == Tag(b); }

  // The position stored under hash; cNone when there is none.
  std::uint32_t Find(std::uint64_t hash) const {
    const std::uint32_t tag = Tag(hash);
    for (std::size_t i = Home(tag);; i = (i + 1) & FMask) {
      if (FSlots[i].Tag == tag) return FSlots[i].Position;
      if (FSlots[i].Tag == 0) return cNone;
    }
  }

  // The position under hash, for reading and changing; cNone when newly added.
  std::uint32_t& Slot(std::uint64_t hash) {
    if ((FUsed + 1) * 2 > FSlots.size()) Rehash(FSlots.size() * 2);
    return Place(Tag(hash));
  }

  // Starts fetching the slot of hash, for a look-up that follows shortly.
  void Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
    __builtin_prefetch(&FSlots[Home(Tag(hash))]);
#else
    (void)hash;
#endif
  }

 private:
  struct TSlot {
    std::uint32_t Tag = 0;  // 0: free
    std::uint32_t Position = cNone;
  };

  std::uint32_t& Place(std::uint32_t tag) {
    std::size_t i = Home(tag);
    while (FSlots[i].Tag != tag && FSlots[i].Tag != 0) i = (i + 1) & FMask;
    if (FSlots[i].Tag == 0) {
      FSlots[i].Tag = tag;
      ++FUsed;
    }
    return FSlots[i].Position;
  }

  static std::size_t SlotsFor(std::size_t count) {
    std::size_t slots = 16;
    while (slots < count * 2) slots *= 2;
    return slots;
  }
  std::size_t Home(std::uint32_t tag) const {
    return static_cast<std::size_t>((tag * 0x9E3779B97F4A7C15ull) >> FShift);
  }

  void Rehash(std::size_t slots) {
    std::vector<TSlot> old;
    old.swap(FSlots);
    FSlots.resize(slots);
    FMask = slots - 1;
    FShift = 64;
    for (std::size_t s = slots; s > 1; s /= 2) --FShift;
    FUsed = 0;
    for (const TSlot& slot : old) {
      if (slot.Tag != 0) Place(slot.Tag) = slot.Position;
    }
  }

  std::vector<TSlot> FSlots;
  std::size_t FMask = 0;
  unsigned FShift = 64;
  std::size_t FUsed = 0;
};

}  // namespace settings
