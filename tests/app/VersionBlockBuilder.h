#pragma once
// Builds version-information blocks byte by byte, as a resource compiler lays them out.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quorvel_test {

struct TVerNode {
  std::u16string Key;
  std::uint16_t Type = 0;  // 1: text
  std::vector<std::uint8_t> Value = {};
  std::vector<TVerNode> Children = {};
  // Replaces the stored wValueLength, which is otherwise the value's size in its own unit.
  int ValueLengthOverride = -1;

  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> out(6);
    for (char16_t c : Key + u'\0') Put16(out, c);
    Pad(out);
    out.insert(out.end(), Value.begin(), Value.end());
    for (const TVerNode& child : Children) {
      Pad(out);
      std::vector<std::uint8_t> bytes = child.Bytes();
      out.insert(out.end(), bytes.begin(), bytes.end());
    }
    std::size_t valueLength = ValueLengthOverride >= 0 ? static_cast<std::size_t>(ValueLengthOverride)
                                                       : (Type ? Value.size() / 2 : Value.size());
    Set16(out, 0, out.size());
    Set16(out, 2, valueLength);
    Set16(out, 4, Type);
    return out;
  }

  static void Put16(std::vector<std::uint8_t>& out, std::size_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  static void Set16(std::vector<std::uint8_t>& out, std::size_t at, std::size_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  static void Pad(std::vector<std::uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
  }
};

// A text value with its terminating null; Length overrides the stored character count.
inline TVerNode TextValue(const std::u16string& key, const std::u16string& text, int length = -1) {
  TVerNode node{.Key = key, .Type = 1, .ValueLengthOverride = length};
  for (char16_t c : text + u'\0') TVerNode::Put16(node.Value, c);
  return node;
}

// \VarFileInfo\Translation with the given (language, code page) pairs.
inline TVerNode VarFileInfo(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& translations) {
  TVerNode translation{.Key = u"Translation"};
  for (auto [language, codePage] : translations) {
    TVerNode::Put16(translation.Value, language);
    TVerNode::Put16(translation.Value, codePage);
  }
  return TVerNode{.Key = u"VarFileInfo", .Type = 1, .Children = {translation}};
}

inline TVerNode StringTable(const std::u16string& name, std::vector<TVerNode> values) {
  return TVerNode{.Key = name, .Type = 1, .Children = std::move(values)};
}

inline TVerNode StringFileInfo(std::vector<TVerNode> tables) {
  return TVerNode{.Key = u"StringFileInfo", .Type = 1, .Children = std::move(tables)};
}

// The root, whose value is a VS_FIXEDFILEINFO holding only its signature.
inline TVerNode VersionInfo(std::vector<TVerNode> children) {
  TVerNode root{.Key = u"VS_VERSION_INFO", .Value = std::vector<std::uint8_t>(52, 0), .Children = std::move(children)};
  root.Value[0] = 0xBD;
  root.Value[1] = 0x04;
  root.Value[2] = 0xEF;
  root.Value[3] = 0xFE;
  return root;
}

}  // namespace quorvel_test
