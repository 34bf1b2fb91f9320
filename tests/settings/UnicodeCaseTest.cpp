// The generated case tables.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "platform/UnicodeCase.h"

namespace quorvel_test {
namespace {

TEST(UnicodeCase, SimpleUpperCaseOfOneCodeUnit) {
  struct TCase {
    char16_t Unit, Upper;
  };
  const TCase cases[] = {
      {u'a', u'A'},
      {u'z', u'Z'},
      {u'A', u'A'},
      {u'0', u'0'},
      {u'[', u'['},
      {u'\u00E4', u'\u00C4'},  // ä
      {u'\u00FF', u'\u0178'},  // ÿ
      {u'\u00DF', u'\u00DF'},  // ß: its upper case is two letters, so it stays
      {u'\u00B5', u'\u039C'},  // micro sign
      {u'\u0131', u'I'},       // dotless i
      {u'\u017F', u'S'},       // long s
      {u'\u01C5', u'\u01C4'},  // title-case digraph
      {u'\u03C2', u'\u03A3'},  // final sigma
      {u'\u03AF', u'\u038A'},  // ί
      {u'\u0451', u'\u0401'},  // ё
      {u'\u1F80', u'\u1F88'},  // Greek with ypogegrammeni: one letter in simple mapping
      {u'\u24D0', u'\u24B6'},  // circled a
      {u'\uFF41', u'\uFF21'},  // full-width a
      {u'\u3042', u'\u3042'},  // hiragana
      {u'\u3000', u'\u3000'},
      {char16_t(0xD801), char16_t(0xD801)},  // surrogates stay
      {char16_t(0xDC28), char16_t(0xDC28)},
      {u'\uFFFF', u'\uFFFF'},
  };
  for (const TCase& c : cases) EXPECT_EQ(platform::UpperCase(c.Unit), c.Upper) << std::hex << int(c.Unit);
}

TEST(UnicodeCase, SimpleLowerCaseOfOneCodeUnit) {
  struct TCase {
    char16_t Unit, Lower;
  };
  const TCase cases[] = {
      {u'A', u'a'},
      {u'Z', u'z'},
      {u'a', u'a'},
      {u'@', u'@'},
      {u'\u00C4', u'\u00E4'},  // Ä
      {u'\u00D7', u'\u00D7'},  // multiplication sign
      {u'\u0130', u'i'},       // İ: its full lower case adds a combining dot; the simple one is i
      {u'\u0141', u'\u0142'},  // Ł
      {u'\u01C5', u'\u01C6'},  // title-case digraph
      {u'\u0391', u'\u03B1'},  // Α
      {u'\u03A3', u'\u03C3'},  // Σ, whatever follows it
      {u'\u0416', u'\u0436'},  // Ж
      {u'\u1E9E', u'\u00DF'},  // capital sharp s
      {u'\u1F88', u'\u1F80'},  // Greek with prosgegrammeni
      {u'\u212A', u'k'},       // Kelvin sign
      {u'\u216B', u'\u217B'},  // Roman numeral twelve
      {u'\uFF21', u'\uFF41'},  // full-width A
      {u'\u30A2', u'\u30A2'},  // katakana
      {char16_t(0xD801), char16_t(0xD801)},
      {char16_t(0xDC00), char16_t(0xDC00)},  // surrogates stay
  };
  for (const TCase& c : cases) EXPECT_EQ(platform::LowerCase(c.Unit), c.Lower) << std::hex << int(c.Unit);
}

TEST(UnicodeCase, BothCasesAreStableAndLeaveSurrogatesAlone) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    const char16_t upper = platform::UpperCase(unit);
    const char16_t lower = platform::LowerCase(unit);
    ASSERT_EQ(platform::UpperCase(upper), upper) << std::hex << int(c);
    ASSERT_EQ(platform::LowerCase(lower), lower) << std::hex << int(c);
    if (c >= 0xD800 && c <= 0xDFFF) {
      ASSERT_EQ(upper, unit);
      ASSERT_EQ(lower, unit);
    }
  }
}

// Letters beyond U+FFFF, as pairs: Deseret, Osage, Vithkuqi, Old Hungarian, Warang Citi,
// Medefaidrin, Adlam; an emoji and a CJK character have no case.
TEST(UnicodeCase, CharactersBeyondTheBasicPlaneChangeCaseAsPairs) {
  struct TCase {
    std::u16string Upper, Lower;
  };
  const TCase cases[] = {
      {u"\U00010400", u"\U00010428"}, {u"\U00010427", u"\U0001044F"}, {u"\U000104B0", u"\U000104D8"},
      {u"\U00010570", u"\U00010597"}, {u"\U00010C80", u"\U00010CC0"}, {u"\U000118A0", u"\U000118C0"},
      {u"\U00016E40", u"\U00016E60"}, {u"\U0001E900", u"\U0001E922"}, {u"\U0001F600", u"\U0001F600"},
      {u"\U00020000", u"\U00020000"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(platform::UpperCaseText(c.Lower), c.Upper) << std::hex << int(c.Lower[1]);
    EXPECT_EQ(platform::LowerCaseText(c.Upper), c.Lower) << std::hex << int(c.Upper[1]);
    EXPECT_EQ(platform::UpperCaseText(c.Upper), c.Upper);
  }
  // A surrogate without its partner stays as it is, as does text around a pair.
  const std::u16string lone = {char16_t(0xDC28), u'a', char16_t(0xD801), u'b', char16_t(0xD801)};
  EXPECT_EQ(platform::UpperCaseText(lone),
            (std::u16string{char16_t(0xDC28), u'A', char16_t(0xD801), u'B', char16_t(0xD801)}));
  EXPECT_EQ(platform::LowerCaseText(u"Ab\U00010400C"), u"ab\U00010428c");
}

TEST(UnicodeCase, NamesMatchByTheirUpperCase) {
  struct TCase {
    const char* Stored;
    std::u16string Asked;
    bool Same;
  };
  const TCase cases[] = {
      {"main", u"MAIN", true},
      {"Main", u"mAIN", true},
      {"main", u"mai", false},
      {"mai", u"main", false},
      {"", u"", true},
      {"a", u"", false},
      {"ärger", u"ÄRGER", true},
      {"straße", u"STRASSE", false},
      {"ǆ", u"ǅ", true},
      {"\xF0\x9F\x98\x80", u"\U0001F600", true},      // outside the basic plane, as is
      {"\xF0\x90\x90\xA8", u"\U00010400", true},      // Deseret: its case pair lies beyond U+FFFF too
      {"x\xF0\x9E\xA4\xA2y", u"X\U0001E900Y", true},  // Adlam, between other letters
      {"\xF0\x90\x90\xA8", u"\U00010401", false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(platform::SameName(platform::FromUtf8(c.Stored), c.Asked), c.Same) << c.Stored;
  }
}

}  // namespace
}  // namespace quorvel_test
