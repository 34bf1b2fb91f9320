#include "settings/IniNames.h"

#include "settings/UnicodeCase.h"
#include "settings/Utf8.h"

namespace settings {

namespace {

// FNV-1a over the upper-case code units.
class THasher {
 public:
  void Add(char16_t unit) {
    FHash ^= UpperCase(unit);
    FHash *= 0x100000001B3ull;
  }
  std::uint64_t Result() const { return FHash == 0 ? 1 : FHash; }

 private:
  std::uint64_t FHash = 0xCBF29CE484222325ull;
};

}  // namespace

std::uint64_t NameHash(std::u16string_view name) {
  THasher hasher;
  for (char16_t unit : name) hasher.Add(unit);
  return hasher.Result();
}

std::uint64_t NameHash(std::string_view validUtf8) {
  THasher hasher;
  ForEachUnit(validUtf8, [&](char16_t unit) {
    hasher.Add(unit);
    return true;
  });
  return hasher.Result();
}

bool SameName(std::string_view validUtf8, std::u16string_view name) {
  // A UTF-16 name never has more units than its UTF-8 form has bytes.
  if (name.size() > validUtf8.size()) return false;
  std::size_t i = 0;
  const bool prefix = ForEachUnit(validUtf8, [&](char16_t unit) {
    if (i == name.size() || UpperCase(unit) != UpperCase(name[i])) return false;
    ++i;
    return true;
  });
  return prefix && i == name.size();
}

}  // namespace settings
