#include "platform/VersionBlock.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::size_t cHeaderSize = 6;  // wLength, wValueLength, wType

// Key, value and children start on 32-bit boundaries counted from the block's own start.
std::size_t Align(std::size_t blockStart, std::size_t at) {
  return blockStart + ((at - blockStart + 3) & ~std::size_t{3});
}

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

}  // namespace

// One block, every offset already clipped to the bytes its parents grant it.
struct TVersionBlock::TNode {
  std::size_t Start = 0;
  std::size_t End = 0;  // Start + wLength, or the parent's end when that comes first
  std::uint16_t WLength = 0;
  std::uint16_t ValueLength = 0;
  std::uint16_t Type = 0;
  std::size_t KeyEnd = 0;  // just past the key's terminating null; 0 when the key has none in bounds
  std::span<const std::uint8_t> Value;
  std::size_t ChildrenStart = 0;
};

std::uint16_t TVersionBlock::Word(std::size_t at) const {
  return static_cast<std::uint16_t>(FBytes[at] | (FBytes[at + 1] << 8));
}

std::optional<TVersionBlock::TNode> TVersionBlock::Node(std::size_t start, std::size_t limit) const {
  if (limit > FBytes.size() || start > limit || limit - start < cHeaderSize) return std::nullopt;
  TNode node;
  node.Start = start;
  node.WLength = Word(start);
  node.ValueLength = Word(start + 2);
  node.Type = Word(start + 4);
  node.End = std::min(start + node.WLength, limit);
  for (std::size_t at = start + cHeaderSize; at + 2 <= node.End; at += 2) {
    if (Word(at) == 0) {
      node.KeyEnd = at + 2;
      break;
    }
  }
  if (node.KeyEnd == 0) {
    // Without a terminated key nothing after it can be located.
    node.ChildrenStart = node.End;
    return node;
  }
  std::size_t valueStart = std::min(Align(start, node.KeyEnd), node.End);
  std::size_t valueSize = node.Type != 0 ? std::size_t{node.ValueLength} * 2 : node.ValueLength;
  node.Value = FBytes.subspan(valueStart, std::min(valueSize, node.End - valueStart));
  node.ChildrenStart = std::min(Align(start, valueStart + valueSize), node.End);
  return node;
}

std::optional<TVersionBlock::TNode> TVersionBlock::Root() const { return Node(0, FBytes.size()); }

bool TVersionBlock::KeyIs(const TNode& node, std::u16string_view name) const {
  if (node.KeyEnd == 0) return false;
  std::size_t keyStart = node.Start + cHeaderSize;
  if ((node.KeyEnd - 2 - keyStart) / 2 != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (UpperAscii(static_cast<char16_t>(Word(keyStart + 2 * i))) != UpperAscii(name[i])) return false;
  }
  return true;
}

std::optional<TVersionBlock::TNode> TVersionBlock::FindChild(const TNode& parent, std::u16string_view name) const {
  std::size_t at = parent.ChildrenStart;
  while (at < parent.End) {
    std::optional<TNode> child = Node(at, parent.End);
    if (!child) break;
    if (KeyIs(*child, name)) return child;
    // A zero length would never move on.
    if (child->WLength == 0) break;
    at = Align(at, at + child->WLength);
  }
  return std::nullopt;
}

std::optional<TVersionBlock::TValue> TVersionBlock::Query(std::u16string_view path) const {
  // The path is a C string to the platform: it ends at its first null.
  path = path.substr(0, path.find(u'\0'));
  std::optional<TNode> node = Root();
  while (node && !path.empty()) {
    std::size_t slash = path.find(u'\\');
    std::u16string_view name = path.substr(0, slash);
    path = slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(slash + 1);
    if (!name.empty()) node = FindChild(*node, name);
  }
  if (!node) return std::nullopt;
  return TValue{node->ValueLength, node->Type != 0, node->Value};
}

}  // namespace platform
