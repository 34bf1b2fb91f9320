#pragma once
// Storage that grows in blocks which never move: growing copies nothing and never holds an
// old and a new copy at once, which keeps the peak of many writes close to what they store.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace settings {

// A sequence of T in blocks of cBlockItems; T is trivially copyable.
template <class T, std::size_t BlockItems = 256>
class TBlockList {
 public:
  static constexpr std::size_t cBlockItems = BlockItems;

  std::size_t size() const { return FSize; }
  T& operator[](std::size_t i) { return FBlocks[i / cBlockItems][i % cBlockItems]; }
  const T& operator[](std::size_t i) const { return FBlocks[i / cBlockItems][i % cBlockItems]; }
  void push_back(const T& item) {
    if (FSize == FBlocks.size() * cBlockItems) FBlocks.push_back(std::make_unique_for_overwrite<T[]>(cBlockItems));
    (*this)[FSize++] = item;
  }

 private:
  std::vector<std::unique_ptr<T[]>> FBlocks;
  std::size_t FSize = 0;
};

// Bytes addressed by 32-bit offsets, each piece in one block. A piece longer than a block
// gets blocks of its own, in one allocation.
class TByteStore {
 public:
  static constexpr unsigned cBlockBits = 16;
  static constexpr std::size_t cBlockBytes = std::size_t{1} << cBlockBits;

  std::size_t size() const { return FEnd; }
  // Room for size bytes in one piece, at offset `at`; the caller fills it.
  char* Reserve(std::size_t size, std::size_t& at) {
    const std::size_t room = FBlocks.size() * cBlockBytes - FEnd;
    if (size > room) {
      FEnd = FBlocks.size() * cBlockBytes;  // the rest of the last block stays unused
      const std::size_t blocks = (size + cBlockBytes - 1) / cBlockBytes;
      FOwned.push_back(std::make_unique_for_overwrite<char[]>(blocks * cBlockBytes));
      for (std::size_t k = 0; k < blocks; ++k) FBlocks.push_back(FOwned.back().get() + k * cBlockBytes);
    }
    at = FEnd;
    FEnd += size;
    return At(at);
  }
  // A piece of size 0 may lie at the end, where no block is.
  char* At(std::size_t offset) const {
    const std::size_t block = offset >> cBlockBits;
    return block < FBlocks.size() ? FBlocks[block] + (offset & (cBlockBytes - 1)) : nullptr;
  }

 private:
  std::vector<std::unique_ptr<char[]>> FOwned;
  std::vector<char*> FBlocks;  // by offset >> cBlockBits
  std::size_t FEnd = 0;
};

}  // namespace settings
