#include "settings/IniNames.h"

#include <cstring>

#include "platform/UnicodeCase.h"
#include "settings/Utf8.h"

namespace settings {

namespace {

constexpr std::uint64_t cOnes = 0x0101010101010101ull;
constexpr std::uint64_t cHighs = 0x8080808080808080ull;

// Eight ASCII bytes in upper case: a to z lose the 0x20 bit. No byte carries into the next,
// since every byte is below 0x80.
std::uint64_t UpperAscii8(std::uint64_t bytes) {
  const std::uint64_t fromA = bytes + cOnes * (0x80 - 'a');       // high bit: byte >= 'a'
  const std::uint64_t aboveZ = bytes + cOnes * (0x80 - 'z' - 1);  // high bit: byte > 'z'
  return bytes ^ (((fromA & ~aboveZ) & cHighs) >> 2);
}

// Four bytes as four 16-bit units, the first in the low bits.
std::uint64_t Widen4(std::uint32_t bytes) {
  std::uint64_t x = bytes;
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
  return (x | (x << 8)) & 0x00FF00FF00FF00FFull;
}

// Hashes the upper-case code units four at a time, so that UTF-8 and UTF-16 names of one
// spelling give one value and ASCII names go fast.
class THasher {
 public:
  void Add(char16_t upper) {
    FWord |= static_cast<std::uint64_t>(upper) << FShift;
    FShift += 16;
    ++FCount;
    if (FShift == 64) Flush();
  }
  // Eight ASCII bytes, upper-cased; only when the word is empty.
  void AddAscii8(std::uint64_t upper) {
    Mix(Widen4(static_cast<std::uint32_t>(upper)));
    Mix(Widen4(static_cast<std::uint32_t>(upper >> 32)));
    FCount += 8;
  }
  // Four ASCII units, upper-cased, as 16-bit lanes; only when the word is empty.
  void AddAscii4(std::uint64_t upper) {
    Mix(upper);
    FCount += 4;
  }
  bool Aligned() const { return FShift == 0; }
  std::uint64_t Result() {
    if (FShift != 0) Flush();
    Mix(FCount);
    const std::uint64_t hash = FHash ^ (FHash >> 32);
    return hash == 0 ? 1 : hash;
  }

 private:
  void Mix(std::uint64_t word) {
    FHash = (FHash ^ word) * 0x9E3779B97F4A7C15ull;
    FHash ^= FHash >> 29;
  }
  void Flush() {
    Mix(FWord);
    FWord = 0;
    FShift = 0;
  }

  std::uint64_t FHash = 0xCBF29CE484222325ull;
  std::uint64_t FWord = 0;
  unsigned FShift = 0;
  std::uint64_t FCount = 0;
};

}  // namespace

std::uint64_t NameHash(std::u16string_view name) {
  THasher hasher;
  const char16_t* p = name.data();
  const char16_t* const end = p + name.size();
  // Four ASCII units at a time, upper-cased together, as the UTF-8 form's bytes are.
  constexpr std::uint64_t cLow = 0x0001000100010001ull;
  for (; end - p >= 4; p += 4) {
    std::uint64_t units;
    std::memcpy(&units, p, sizeof units);
    if ((units & 0xFF80FF80FF80FF80ull) != 0) break;
    const std::uint64_t fromA = units + cLow * (0x80 - 'a');
    const std::uint64_t aboveZ = units + cLow * (0x80 - 'z' - 1);
    hasher.AddAscii4(units ^ (((fromA & ~aboveZ) & 0x0080008000800080ull) >> 2));
  }
  char16_t previous = p > name.data() ? p[-1] : 0;
  for (; p < end; ++p) {
    hasher.Add(platform::UpperCaseAfter(previous, *p));
    previous = *p;
  }
  return hasher.Result();
}

std::uint64_t NameHash(std::string_view validUtf8) {
  THasher hasher;
  const char* p = validUtf8.data();
  const char* const end = p + validUtf8.size();
  while (p < end) {
    if (end - p >= 8 && hasher.Aligned()) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if ((word & cHighs) == 0) {
        hasher.AddAscii8(UpperAscii8(word));
        p += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(*p) < 0x80) {
      hasher.Add(platform::AsciiUpper(static_cast<char16_t>(*p)));
      ++p;
      continue;
    }
    // One character of more than one byte: one unit, or a surrogate pair.
    const char* next = p + 1;
    while (next < end && (static_cast<unsigned char>(*next) & 0xC0) == 0x80) ++next;
    char16_t previous = 0;
    ForEachUnit(std::string_view(p, next - p), [&](char16_t unit) {
      hasher.Add(platform::UpperCaseAfter(previous, unit));
      previous = unit;
      return true;
    });
    p = next;
  }
  return hasher.Result();
}

bool SameName(std::string_view validUtf8, std::u16string_view name) {
  // A UTF-16 name never has more units than its UTF-8 form has bytes.
  if (name.size() > validUtf8.size()) return false;
  // ASCII on both sides compares byte by unit; the rest decodes.
  std::size_t i = 0;
  const std::size_t common = name.size();
  for (; i < common; ++i) {
    const auto byte = static_cast<unsigned char>(validUtf8[i]);
    if (byte >= 0x80 || name[i] >= 0x80) break;
    if (platform::AsciiUpper(byte) != platform::AsciiUpper(name[i])) return false;
  }
  if (i == common && i == validUtf8.size()) return true;
  // The units before i are ASCII and alike on both sides.
  char16_t previous = i > 0 ? name[i - 1] : 0;
  const bool prefix = ForEachUnit(validUtf8.substr(i), [&](char16_t unit) {
    if (i == name.size() ||
        platform::UpperCaseAfter(previous, unit) != platform::UpperCaseAfter(i > 0 ? name[i - 1] : 0, name[i]))
      return false;
    previous = unit;
    ++i;
    return true;
  });
  return prefix && i == name.size();
}

}  // namespace settings
