// The load's fast paths against plain references: block scans, the UTF-8 check and decoding,
// name hashing and matching, and lines that straddle the 64-byte chunks of the line scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <unordered_map>

#include "platform/Text.h"
#include "platform/UnicodeCase.h"
#include "settings/ByteScan.h"
#include "settings/HashIndex.h"
#include "settings/IniImage.h"
#include "settings/IniNames.h"
#include "settings/Utf8.h"

namespace quorvel_test {
namespace {

const std::string cBomText = "\xEF\xBB\xBF";

// Random text from pieces that matter to the scans: line ends, "=", ASCII, and UTF-8 of
// one to four bytes, with stray continuation and invalid bytes when broken is set.
std::string RandomText(std::mt19937& random, std::size_t pieces, bool broken) {
  static const char* const cPieces[] = {"\r",
                                        "\n",
                                        "\r\n",
                                        "=",
                                        "a",
                                        "Z",
                                        " ",
                                        "k",
                                        "\0",
                                        "ä",
                                        "設",
                                        "\xF0\x9F\x98\x80",
                                        "ı",
                                        "\xF0\x90\x90\x80",
                                        "\xF0\x90\x90\xA8"};  // 𐐀 and its lower case 𐐨
  static const char* const cBroken[] = {"\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\xFF"};
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) {
    const auto pick = random() % 40;
    if (broken && pick == 0) {
      text += cBroken[random() % std::size(cBroken)];
    } else if (pick < std::size(cPieces)) {
      text += pick == 8 ? std::string(1, '\0') : std::string(cPieces[pick]);
    } else {
      text += static_cast<char>('a' + random() % 26);
    }
  }
  return text;
}

TEST(IniScan, BlockScansAgreeWithByteByByteScans) {
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    const std::string text = RandomText(random, random() % 120, round % 3 == 0);
    for (std::size_t from = 0; from < std::min<std::size_t>(text.size(), 20); ++from) {
      const char* begin = text.data() + from;
      const char* end = text.data() + text.size();
      const char* firstHigh = std::find_if(begin, end, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
      ASSERT_EQ(settings::SkipAscii(begin, end), firstHigh);
    }
    std::string chunk = text;
    chunk.resize(settings::cChunkBytes, 'x');
    const settings::TChunkMasks masks = settings::ScanChunk(chunk.data());
    for (std::size_t i = 0; i < settings::cChunkBytes; ++i) {
      const char c = chunk[i];
      ASSERT_EQ((masks.Ends >> i) & 1, std::uint64_t(c == '\r' || c == '\n')) << i;
      ASSERT_EQ((masks.Equals >> i) & 1, std::uint64_t(c == '=')) << i;
      ASSERT_EQ((masks.High >> i) & 1, std::uint64_t(static_cast<unsigned char>(c) >= 0x80)) << i;
    }
  }
}

TEST(IniScan, Utf8CheckAndDecodingAgreeWithTheProgramsDecoder) {
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(random, random() % 60, round % 2 == 0);
    std::u16string expected;
    const bool valid = platform::TryFromUtf8(text, expected);
    ASSERT_EQ(settings::IsValidUtf8(text), valid) << round;
    if (valid) {
      ASSERT_EQ(settings::DecodeUtf8(text), expected) << round;
      ASSERT_EQ(settings::Utf16Length(text), expected.size()) << round;
    }
  }
}

TEST(IniScan, NamesHashAndMatchAlikeInUtf8AndUtf16WhateverTheirLength) {
  std::mt19937 random(13);
  const auto reference = [](const std::u16string& a, const std::u16string& b) {
    return platform::UpperCaseText(a) == platform::UpperCaseText(b);
  };
  for (int round = 0; round < 3000; ++round) {
    std::string stored = RandomText(random, random() % 24, false);
    std::u16string stored16 = platform::FromUtf8(stored);
    // The asked name: the same with its ASCII letters' case flipped at random, or another name.
    std::u16string asked = stored16;
    for (char16_t& unit : asked) {
      if (unit < 0x80 && std::isalpha(unit) && random() % 2) unit ^= 0x20;
    }
    if (round % 4 == 0) asked = platform::FromUtf8(RandomText(random, random() % 24, false));
    const bool same = reference(stored16, asked);
    ASSERT_EQ(settings::SameName(stored, asked), same) << stored;
    ASSERT_EQ(settings::NameHash(std::string_view(stored)), settings::NameHash(stored16)) << stored;
    if (same) {
      ASSERT_EQ(settings::NameHash(std::string_view(stored)), settings::NameHash(asked)) << stored;
    }
  }
}

// Two names of different spelling whose hashes share an index slot.
std::pair<std::string, std::string> NamesSharingASlot() {
  std::unordered_map<std::uint32_t, std::string> seen;
  for (int i = 0;; ++i) {
    std::string name = "k" + std::to_string(i);
    const auto [found, added] =
        seen.emplace(settings::THashIndex::Tag(settings::NameHash(std::string_view(name))), name);
    if (!added) return {found->second, name};
  }
}

// Names that share a slot are told apart by the searches behind the index, for sections and
// for the entries of a section long enough to have an index, loaded or written.
TEST(IniScan, NamesSharingAnIndexSlotStayApart) {
  const auto [a, b] = NamesSharingASlot();
  const std::u16string a16 = platform::FromUtf8(a), b16 = platform::FromUtf8(b);
  std::string file = "[" + a + "]\nv=a\n[x]\n";
  for (int k = 0; k < 20; ++k) file += "f" + std::to_string(k) + "=" + std::to_string(k) + "\n";
  file += a + "=1\n" + b + "=2\n[" + b + "]\nv=b\n[" + a + "]\nv=a2\n";
  auto image = settings::TIniImage::FromBytes(file, 0);
  ASSERT_TRUE(image);
  std::u16string value;
  const auto read = [&](std::u16string_view section, std::u16string_view ident) {
    return image->Read(section, ident, value) ? platform::ToUtf8(value) : std::string("(none)");
  };
  EXPECT_EQ(read(u"x", b16), "2");
  EXPECT_EQ(read(u"X", a16), "1");
  EXPECT_EQ(read(b16, u"v"), "b");
  EXPECT_EQ(read(a16, u"v"), "a");

  // A new section of many written entries, the two names last.
  for (int k = 0; k < 20; ++k) image->Write(u"y", u"f" + platform::FromUtf8(std::to_string(k)), u"-");
  image->Write(u"y", b16, u"B");
  image->Write(u"y", a16, u"A");
  image->Write(u"x", b16, u"3");  // in place
  EXPECT_EQ(read(u"y", a16), "A");
  EXPECT_EQ(read(u"y", b16), "B");
  EXPECT_EQ(read(u"x", b16), "3");
  EXPECT_EQ(read(u"x", a16), "1");

  // Erasing the first of the two sections named a leaves the second and the one named b.
  image->Erase(a16);
  EXPECT_EQ(read(a16, u"v"), "a2");
  EXPECT_EQ(read(b16, u"v"), "b");
  image->Erase(b16);
  EXPECT_EQ(read(b16, u"v"), "(none)");
  EXPECT_EQ(read(a16, u"v"), "a2");
  image->Erase(a16);
  EXPECT_EQ(read(a16, u"v"), "(none)");
  std::string out;
  image->Serialize([&](std::string_view piece) { out += piece; });
  EXPECT_EQ(out.find("[" + a + "]"), std::string::npos);
  EXPECT_NE(out.find("\r\n" + b + "=3\r\n"), std::string::npos);
}

// Random writes and reads in one long section against a plain list of lines: an entry that is
// written again, in whatever letter case, is replaced in place; a new one goes at the end.
TEST(IniScan, ManyWritesAndReadsAgreeWithAPlainListOfLines) {
  std::mt19937 random(17);
  std::string file = "[s]\n";
  std::vector<std::pair<std::string, std::string>> lines;  // the reference, in order
  for (int k = 0; k < 40; ++k) {
    lines.emplace_back("n" + std::to_string(k * 7), "loaded" + std::to_string(k));
    file += lines.back().first + "=" + lines.back().second + "\n";
  }
  auto image = settings::TIniImage::FromBytes(file, 0);
  ASSERT_TRUE(image);
  const auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  for (int op = 0; op < 4000; ++op) {
    std::string name = "n" + std::to_string(random() % 600);
    if (random() % 2) name = upper(name);
    const auto found =
        std::find_if(lines.begin(), lines.end(), [&](const auto& line) { return upper(line.first) == upper(name); });
    std::u16string value;
    if (random() % 3 == 0) {
      const bool present = image->Read(u"s", platform::FromUtf8(name), value);
      ASSERT_EQ(present, found != lines.end()) << name << " at " << op;
      if (present) {
        ASSERT_EQ(platform::ToUtf8(value), found->second) << name << " at " << op;
      }
    } else {
      const std::string written = "w" + std::to_string(op);
      image->Write(u"s", platform::FromUtf8(name), platform::FromUtf8(written));
      if (found != lines.end()) *found = {name, written};
      else lines.emplace_back(name, written);
    }
  }
  std::string expected = cBomText + "[s]\r\n";
  for (const auto& [name, value] : lines) expected += name + "=" + value + "\r\n";
  std::string out;
  image->Serialize([&](std::string_view piece) { out += piece; });
  EXPECT_EQ(out, expected + "\r\n");
}

// Each asked name finds the first entry whose name matches by upper case, unit by unit, in a
// short section and in a long one, searched line by line and then through its index.
TEST(IniScan, LookUpsFindTheFirstNameThatMatchesByUpperCase) {
  const std::vector<std::string> stored = {"I",         "\xC4\xB1",  "s", "\xC5\xBF",     "",   "ab", "AB",
                                           "x\xC3\xA9", "X\xC3\x89", "k", "\xE2\x84\xAA", "ba", "a",  "\xE8\xA8\xAD",
                                           "i\xC4\xB1"};
  const std::vector<std::u16string> asked = {u"i",  u"I",       u"\u0131",  u"S",        u"\u017F", u"",
                                             u"Ab", u"X\u00E9", u"x\u00C9", u"K",        u"\u212A", u"\u8A2D",
                                             u"II", u"\u0131I", u"b",       u"ab\u0131", u"aa"};
  const auto reference = [&](const std::u16string& name) -> int {
    for (std::size_t k = 0; k < stored.size(); ++k) {
      const std::u16string other = platform::FromUtf8(stored[k]);
      if (platform::UpperCaseText(other) == platform::UpperCaseText(name)) return static_cast<int>(k);
    }
    return -1;
  };
  for (std::size_t filler : {0, 30}) {
    std::string file = "[s]\n";
    for (std::size_t k = 0; k < filler; ++k) file += "f" + std::to_string(k) + "=-\n";
    for (std::size_t k = 0; k < stored.size(); ++k) file += stored[k] + "=" + std::to_string(k) + "\n";
    auto image = settings::TIniImage::FromBytes(file, 0);
    ASSERT_TRUE(image);
    for (int round = 0; round < 4; ++round) {
      for (const std::u16string& name : asked) {
        std::u16string value;
        const int expected = reference(name);
        const bool found = image->Read(u"s", name, value);
        ASSERT_EQ(found, expected >= 0) << platform::ToUtf8(name) << " round " << round;
        if (found) {
          ASSERT_EQ(platform::ToUtf8(value), std::to_string(expected)) << platform::ToUtf8(name) << " round " << round;
        }
      }
    }
  }
}

TEST(IniScan, LinesAcrossChunkBoundariesParseAsTheyRead) {
  // Name and value lengths that put the line end and the "=" on every side of a 64-byte edge.
  for (std::size_t pad = 0; pad < 70; pad += 3) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
      std::string file = "\xEF\xBB\xBF[s]" + std::string(end);
      std::vector<std::pair<std::string, std::string>> entries;
      for (std::size_t k = 0; k < 12; ++k) {
        const std::string name = "n" + std::to_string(k) + std::string((pad + 7 * k) % 61, 'x');
        const std::string value = std::string((pad * 5 + k) % 67, k % 3 ? 'v' : '=') + (k % 2 ? "値" : "");
        entries.emplace_back(name, value);
        file += name + " = " + value + end;
      }
      auto image = settings::TIniImage::FromBytes(file, 3);
      ASSERT_TRUE(image);
      std::u16string value;
      for (const auto& [name, expected] : entries) {
        ASSERT_TRUE(image->Read(u"S", platform::FromUtf8(name), value)) << name;
        // Blanks around "=" go; a value of "=" signs stays whole.
        EXPECT_EQ(platform::ToUtf8(value), expected) << name;
      }
      file += "bad\xE3\x81";
      EXPECT_FALSE(settings::TIniImage::FromBytes(file, 3)) << "broken UTF-8 on the last line";
    }
  }
}

}  // namespace
}  // namespace quorvel_test
