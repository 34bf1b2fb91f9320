#pragma once
// A small open-addressing map from a name hash to a position (a section or a line number).
// A slot keeps 32 bits of the hash, so that a big index stays small and near in the cache.
// Names are checked by the caller, so two names that share those bits only cost a slower search.
// A bit filter, small enough to stay in the cache, answers most look-ups of absent names, and
// additions made with AddIfAbsent wait in a short queue, so that the slots of many are fetched
// together instead of one cache miss after another.
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
    if (!MayHold(tag)) return cNone;
    if (!FQueue.empty()) PlaceQueued();
    for (std::size_t i = Home(tag);; i = (i + 1) & FMask) {
      if (FSlots[i].Tag == tag) return FSlots[i].Position;
      if (FSlots[i].Tag == 0) return cNone;
    }
  }

  // The position under hash, for reading and changing; cNone when newly added.
  std::uint32_t& Slot(std::uint64_t hash) {
    if (!FQueue.empty()) PlaceQueued();
    if ((FUsed + 1) * 2 > FSlots.size()) Rehash(FSlots.size() * 2);
    const std::uint32_t tag = Tag(hash);
    Mark(tag);
    return Place(tag);
  }

  // Stores position under hash unless the hash has one; the same as
  // `if (Slot(hash) == cNone) Slot(hash) = position`, in order with the other changes.
  void AddIfAbsent(std::uint64_t hash, std::uint32_t position) {
    const std::uint32_t tag = Tag(hash);
    Mark(tag);
    FQueue.push_back({tag, position});
    if (FQueue.size() == cQueueLength) PlaceQueued();
  }

 private:
  static constexpr std::size_t cQueueLength = 64;
  static constexpr std::size_t cFetchAhead = 8;
  static constexpr unsigned cFilterBitsPerSlot = 4;

  struct TSlot {
    std::uint32_t Tag = 0;  // 0: free
    std::uint32_t Position = cNone;
  };

  std::uint32_t& Place(std::uint32_t tag) const {
    std::size_t i = Home(tag);
    while (FSlots[i].Tag != tag && FSlots[i].Tag != 0) i = (i + 1) & FMask;
    if (FSlots[i].Tag == 0) {
      FSlots[i].Tag = tag;
      ++FUsed;
    }
    return FSlots[i].Position;
  }

  // The queued additions, in order; their slots are fetched a few ahead.
  void PlaceQueued() const {
    while ((FUsed + FQueue.size()) * 2 > FSlots.size()) Rehash(FSlots.size() * 2);
    for (std::size_t k = 0; k < FQueue.size(); ++k) {
#if defined(__GNUC__)
      if (k + cFetchAhead < FQueue.size()) __builtin_prefetch(&FSlots[Home(FQueue[k + cFetchAhead].Tag)]);
#endif
      std::uint32_t& position = Place(FQueue[k].Tag);
      if (position == cNone) position = FQueue[k].Position;
    }
    FQueue.clear();
  }

  static std::size_t SlotsFor(std::size_t count) {
    std::size_t slots = 16;
    while (slots < count * 2) slots *= 2;
    return slots;
  }
  std::size_t Home(std::uint32_t tag) const {
    return static_cast<std::size_t>((tag * 0x9E3779B97F4A7C15ull) >> FShift);
  }
  // The filter bit of a tag: other bits of the tag than those that choose its slot.
  std::size_t FilterBit(std::uint32_t tag) const {
    return static_cast<std::size_t>((tag * 0xD6E8FEB86659FD93ull) >> FFilterShift);
  }
  bool MayHold(std::uint32_t tag) const {
    const std::size_t bit = FilterBit(tag);
    return (FFilter[bit / 64] >> (bit % 64)) & 1;
  }
  void Mark(std::uint32_t tag) const {
    const std::size_t bit = FilterBit(tag);
    FFilter[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }

  void Rehash(std::size_t slots) const {
    std::vector<TSlot> old;
    old.swap(FSlots);
    FSlots.resize(slots);
    FMask = slots - 1;
    FShift = 64;
    for (std::size_t s = slots; s > 1; s /= 2) --FShift;
    FFilter.assign(slots * cFilterBitsPerSlot / 64, 0);
    FFilterShift = FShift - 2;  // four bits per slot
    FUsed = 0;
    for (const TSlot& slot : old) {
      if (slot.Tag != 0) {
        Place(slot.Tag) = slot.Position;
        Mark(slot.Tag);
      }
    }
    for (const TSlot& queued : FQueue) Mark(queued.Tag);
  }

  // Changed by look-ups too, which place the queued additions first.
  mutable std::vector<TSlot> FSlots;
  mutable std::vector<std::uint64_t> FFilter;
  mutable std::vector<TSlot> FQueue;  // additions not yet placed, in order
  mutable std::size_t FMask = 0;
  mutable unsigned FShift = 64;
  mutable unsigned FFilterShift = 62;
  mutable std::size_t FUsed = 0;
};

}  // namespace settings
