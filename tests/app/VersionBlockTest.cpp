// Look-ups in a version-information block, well formed and malformed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "VersionBlockBuilder.h"
#include "platform/VersionBlock.h"

using platform::TVersionBlock;
using quorvel_test::StringFileInfo;
using quorvel_test::StringTable;
using quorvel_test::TextValue;
using quorvel_test::TVerNode;
using quorvel_test::VarFileInfo;
using quorvel_test::VersionInfo;

namespace {

TVerNode SampleBlock() {
  return VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"CompanyName", u"Quorvel Project"),
                                                                TextValue(u"FileVersion", u"2.0.4.0")}),
                                      StringTable(u"041104B0", {TextValue(u"CompanyName", u"Other")})}),
                      VarFileInfo({{0x0409, 0x04E4}, {0x0411, 0x04B0}})});
}

std::u16string TextOf(const TVersionBlock::TValue& value) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value.Bytes.size(); i += 2)
    text += static_cast<char16_t>(value.Bytes[i] | (value.Bytes[i + 1] << 8));
  return text;
}

// The paths a program asks for, plus some that walk deeper than the block goes.
const std::u16string cPaths[] = {
    u"\\",
    u"\\VarFileInfo\\Translation",
    u"\\StringFileInfo\\040904E4\\FileVersion",
    u"\\StringFileInfo\\040904E4\\CompanyName",
    u"\\StringFileInfo\\041104B0\\CompanyName",
    u"\\StringFileInfo\\040904E4\\FileVersion\\Deeper\\Still",
};

}  // namespace

TEST(VersionBlock, AnswersPathsAsTheVersionLibraryDoes) {
  std::vector<std::uint8_t> bytes = SampleBlock().Bytes();
  TVersionBlock block(bytes);
  struct TCase {
    std::u16string Path;
    bool Found;
    std::uint32_t Length;
    bool Text;
    std::u16string Value;  // for text values, with the stored null
  };
  const TCase cases[] = {
      {u"\\StringFileInfo\\040904E4\\FileVersion", true, 8, true, std::u16string(u"2.0.4.0\0", 8)},
      {u"\\StringFileInfo\\041104B0\\CompanyName", true, 6, true, std::u16string(u"Other\0", 6)},
      {u"\\VarFileInfo\\Translation", true, 8, false, u""},
      {u"\\", true, 52, false, u""},
      {u"", true, 52, false, u""},
      {u"\\\\stringfileinfo\\\\040904e4\\fileversion\\", true, 8, true, std::u16string(u"2.0.4.0\0", 8)},
      {u"StringFileInfo\\040904E4\\FileVersion", true, 8, true, std::u16string(u"2.0.4.0\0", 8)},
      {std::u16string(u"\\VarFileInfo\\Translation\0\\Extra", 31), true, 8, false, u""},
      {u"\\StringFileInfo\\040904E4\\FileVersio", false, 0, false, u""},
      {u"\\StringFileInfo\\040904E4\\FileVersionX", false, 0, false, u""},
      {u"\\StringFileInfo\\040904E4\\FileVersion\\More", false, 0, false, u""},
      {u"\\StringFileInfo\\041104B0\\FileVersion", false, 0, false, u""},
      {u"\\StringFileInfo\\040904E5\\FileVersion", false, 0, false, u""},
      {u"\\FileVersion", false, 0, false, u""},
      {u"\\VS_VERSION_INFO", false, 0, false, u""},
  };
  for (const TCase& c : cases) {
    std::string label(c.Path.begin(), c.Path.end());
    std::optional<TVersionBlock::TValue> value = block.Query(c.Path);
    ASSERT_EQ(value.has_value(), c.Found) << label;
    if (!value) continue;
    EXPECT_EQ(value->Length, c.Length) << label;
    EXPECT_EQ(value->Text, c.Text) << label;
    if (c.Text) {
      EXPECT_EQ(TextOf(*value), c.Value) << label;
    }
  }
  std::optional<TVersionBlock::TValue> translation = block.Query(u"\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation);
  EXPECT_EQ(std::vector<std::uint8_t>(translation->Bytes.begin(), translation->Bytes.end()),
            (std::vector<std::uint8_t>{0x09, 0x04, 0xE4, 0x04, 0x11, 0x04, 0xB0, 0x04}));
}

TEST(VersionBlock, MalformedLengthsAreClippedToTheBytes) {
  struct TCase {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
    std::u16string Path;
    bool Found;
    std::size_t ValueBytes;
  };
  std::vector<std::uint8_t> sample = SampleBlock().Bytes();
  std::vector<std::uint8_t> rootTooLong = sample;
  TVerNode::Set16(rootTooLong, 0, 0xFFFF);
  std::vector<std::uint8_t> rootZero = sample;
  TVerNode::Set16(rootZero, 0, 0);

  // A value that claims more characters than its block holds: cut at the block's end.
  TVerNode overlong =
      VersionInfo({StringFileInfo({StringTable(u"040904E4", {TextValue(u"FileVersion", u"abc", 500)})})});
  // A first child with wLength 0 ends the search among its siblings.
  TVerNode zeroChild = VersionInfo({StringFileInfo({}), VarFileInfo({{0x0409, 0x04E4}})});
  std::vector<std::uint8_t> zeroChildBytes = zeroChild.Bytes();
  TVerNode::Set16(zeroChildBytes, 92, 0);  // StringFileInfo starts after the 6 + 32 + 2 + 52 root bytes
  // A key without its null runs to the end of the bytes and matches nothing.
  std::vector<std::uint8_t> unterminated = {0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 'V', 0, 'S', 0};

  const TCase cases[] = {
      {"root longer than the bytes", rootTooLong, u"\\StringFileInfo\\040904E4\\FileVersion", true, 16},
      {"root of length 0", rootZero, u"\\VarFileInfo\\Translation", false, 0},
      {"root of length 0, own value", rootZero, u"\\", true, 0},
      {"value longer than its block", overlong.Bytes(), u"\\StringFileInfo\\040904E4\\FileVersion", true, 8},
      {"child of length 0", zeroChildBytes, u"\\VarFileInfo\\Translation", false, 0},
      {"unterminated root key", unterminated, u"\\", true, 0},
      {"unterminated root key, child", unterminated, u"\\VS", false, 0},
      {"empty", {}, u"\\", false, 0},
      {"shorter than a header", {0x06, 0x00, 0x00, 0x00, 0x00}, u"\\", false, 0},
  };
  for (const TCase& c : cases) {
    // An exact-size copy, so that a read past the end is a heap overflow the sanitizer reports.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[c.Bytes.size()]);
    std::copy(c.Bytes.begin(), c.Bytes.end(), copy.get());
    TVersionBlock block(std::span<const std::uint8_t>(copy.get(), c.Bytes.size()));
    std::optional<TVersionBlock::TValue> value = block.Query(c.Path);
    ASSERT_EQ(value.has_value(), c.Found) << c.Name;
    if (value) {
      EXPECT_EQ(value->Bytes.size(), c.ValueBytes) << c.Name;
    }
  }
}

// Every prefix of a good block and every byte of it changed: whatever the look-up answers
// lies inside the bytes it was given (and the sanitizer sees no read outside them).
TEST(VersionBlock, DamagedBlocksNeverReachOutsideTheirBytes) {
  const std::vector<std::uint8_t> good = SampleBlock().Bytes();
  auto check = [](const std::vector<std::uint8_t>& bytes, const std::string& what) {
    std::vector<std::uint8_t> exact(bytes);  // exact capacity: no slack for an overread to hide in
    exact.shrink_to_fit();
    TVersionBlock block(exact);
    for (const std::u16string& path : cPaths) {
      std::optional<TVersionBlock::TValue> value = block.Query(path);
      if (!value || value->Bytes.empty()) continue;
      const std::uint8_t* begin = exact.data();
      ASSERT_GE(value->Bytes.data(), begin) << what;
      ASSERT_LE(value->Bytes.data() + value->Bytes.size(), begin + exact.size()) << what;
      ASSERT_LE(value->Bytes.size(), value->Text ? 2u * value->Length : value->Length) << what;
    }
  };
  for (std::size_t size = 0; size < good.size(); ++size)
    check(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
          "prefix " + std::to_string(size));
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (std::uint8_t byte : {0x00, 0x01, 0x03, 0x7F, 0x80, 0xFF}) {
      std::vector<std::uint8_t> damaged = good;
      damaged[at] = byte;
      check(damaged, "byte " + std::to_string(at) + " = " + std::to_string(byte));
    }
  }
}
