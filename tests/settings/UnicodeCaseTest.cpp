// The generated upper-case table.
#include <gtest/gtest.h>

#include "settings/IniNames.h"
#include "settings/UnicodeCase.h"

namespace quorvel_test {
namespace {

TEST(UnicodeCase, SimpleUpperCaseOfOneCodeUnit) {
  struct TCase {
    char16_t Unit, Upper;
  };
  const TCase cases[] = {
      {u'a', u'A'},           {u'z', u'Z'},           {u'A', u'A'},           {u'0', u'0'},
      {u'[', u'['},           {u'\u00E4', u'\u00C4'},  // ä
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
      {u'\u3000', u'\u3000'},  {char16_t(0xD801), char16_t(0xD801)},  // surrogates stay
      {char16_t(0xDC28), char16_t(0xDC28)},  {u'\uFFFF', u'\uFFFF'},
  };
  for (const TCase& c : cases) EXPECT_EQ(settings::UpperCase(c.Unit), c.Upper) << std::hex << int(c.Unit);
}

TEST(UnicodeCase, UpperCaseIsStableAndLeavesSurrogatesAlone) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    const char16_t upper = settings::UpperCase(unit);
    ASSERT_EQ(settings::UpperCase(upper), upper) << std::hex << int(c);
    if (c >= 0xD800 && c <= 0xDFFF) {
      ASSERT_EQ(upper, unit);
    }
  }
}

TEST(UnicodeCase, NamesMatchByTheirUpperCase) {
  struct TCase {
    const char* Stored;
    std::u16string Asked;
    bool Same;
  };
  const TCase cases[] = {
      {"main", u"MAIN", true},   {"Main", u"mAIN", true},    {"main", u"mai", false},
      {"mai", u"main", false},   {"", u"", true},            {"a", u"", false},
      {"ärger", u"ÄRGER", true}, {"straße", u"STRASSE", false}, {"ǆ", u"ǅ", true},
      {"\xF0\x9F\x98\x80", u"\U0001F600", true},  // outside the basic plane, as is
      {"\xF0\x90\x90\xA8", u"\U00010400", false},  // Deseret: its case pair lies beyond U+FFFF
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(settings::SameName(c.Stored, c.Asked), c.Same) << c.Stored;
    if (c.Same) {
      EXPECT_EQ(settings::NameHash(std::string_view(c.Stored)), settings::NameHash(c.Asked)) << c.Stored;
    }
  }
}

}  // namespace
}  // namespace quorvel_test
