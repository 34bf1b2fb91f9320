#pragma once
// A file's version-information block (VS_VERSIONINFO) read as VerQueryValueW reads it, but
// bounds-checked: malformed bytes give "absent" or a shortened value, never a read outside them.
// The stand-in backend's version look-up; on Windows the version library answers.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

class TVersionBlock {
 public:
  struct TValue {
    std::uint32_t Length = 0;             // as stored in wValueLength: bytes for binary values, characters for text
    bool Text = false;                    // wType is not 0
    std::span<const std::uint8_t> Bytes;  // the stored value, cut short where its own block ends
  };

  // The bytes are not copied: they must outlive the block.
  explicit TVersionBlock(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

  // Path components are separated by '\' (empty ones are skipped, so "\" is the root's own
  // value); names match without regard to ASCII letter case. nullopt when a component is absent.
  std::optional<TValue> Query(std::u16string_view path) const;

 private:
  struct TNode;
  std::optional<TNode> Root() const;
  std::optional<TNode> Node(std::size_t start, std::size_t limit) const;
  std::optional<TNode> FindChild(const TNode& parent, std::u16string_view name) const;
  bool KeyIs(const TNode& node, std::u16string_view name) const;
  std::uint16_t Word(std::size_t at) const;

  std::span<const std::uint8_t> FBytes;
};

}  // namespace platform
