// The integer syntax, and the typed reads and writes built on it.
#include "IniTestFixture.h"

#include <cstdint>
#include <optional>

#include "settings/IniInteger.h"

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

TEST(IniInteger, Syntax) {
  struct TCase {
    std::u16string Text;
    std::optional<std::int32_t> Value;
  };
  const TCase cases[] = {
      {u"0", 0},
      {u"120", 120},
      {u"-8", -8},
      {u"+8", 8},
      {u"-0", 0},
      {u"007", 7},
      {u"   42", 42},
      {u"2147483647", 2147483647},
      {u"-2147483648", INT32_MIN},
      {u"000000000002147483647", 2147483647},
      {u"2147483648", std::nullopt},
      {u"-2147483649", std::nullopt},
      {u"99999999999999999999", std::nullopt},
      {u"0x10", 16},
      {u"0X10", 16},
      {u"$10", 16},
      {u"x10", 16},
      {u"X1f", 31},
      {u"$aBcD", 0xABCD},
      {u"$7FFFFFFF", 2147483647},
      {u"$80000000", INT32_MIN},
      {u"$FFFFFFFF", -1},
      {u"0xFFFFFFFE", -2},
      {u"$00000000FFFFFFFF", -1},
      {u"-$10", -16},
      {u"+0x10", 16},
      {u"-$FFFFFFFF", 1},
      {u"-$80000000", INT32_MIN},
      {u"  -0x10", -16},
      {u"$100000000", std::nullopt},
      {u"$", std::nullopt},
      {u"0x", std::nullopt},
      {u"x", std::nullopt},
      {u"$1G", std::nullopt},
      {u"00x10", std::nullopt},
      {u"0$10", std::nullopt},
      {u"", std::nullopt},
      {u" ", std::nullopt},
      {u"-", std::nullopt},
      {u"+", std::nullopt},
      {u"+-1", std::nullopt},
      {u"- 1", std::nullopt},
      {u"12px", std::nullopt},
      {u"12 ", std::nullopt},
      {u"1 2", std::nullopt},
      {u"\t12", std::nullopt},
      {u"true", std::nullopt},
      {u"1.5", std::nullopt},
      {u"1e3", std::nullopt},
      {u"１２", std::nullopt},  // full-width digits are no digits
      {u"\u3000"
       u"12",
       std::nullopt},
  };
  for (const TCase& c : cases) {
    std::int32_t value = 12345;
    const bool parsed = settings::TryParseIniInteger(c.Text, value);
    EXPECT_EQ(parsed, c.Value.has_value()) << platform::ToUtf8(c.Text);
    EXPECT_EQ(value, c.Value.value_or(12345)) << platform::ToUtf8(c.Text);
  }
}

class IniTyped : public TIniTest {};

TEST_F(IniTyped, ReadIntegerAndReadBoolFallBackToTheirDefaults) {
  WriteIni(
      "[main]\ntop=0x10\nhex=$10\nneg=-8\npx=12px\nempty=\nbig=2147483648\n"
      "off=0\ntwo=2\nminus=-1\nword=false\n");
  TMemIniFile ini(IniName());
  struct TIntCase {
    std::u16string Ident;
    std::int32_t Expected;
  };
  for (const TIntCase& c : {TIntCase{u"top", 16},
                            {u"hex", 16},
                            {u"neg", -8},
                            {u"px", -1},
                            {u"empty", -1},
                            {u"big", -1},
                            {u"missing", -1}}) {
    EXPECT_EQ(ini.ReadInteger(u"main", c.Ident, -1), c.Expected) << platform::ToUtf8(c.Ident);
  }
  struct TBoolCase {
    std::u16string Ident;
    bool Default;
    bool Expected;
  };
  for (const TBoolCase& c : {TBoolCase{u"off", true, false},
                             {u"two", false, true},
                             {u"minus", false, true},
                             {u"word", true, true},
                             {u"word", false, false},
                             {u"missing", true, true},
                             {u"missing", false, false},
                             {u"hex", false, true}}) {
    EXPECT_EQ(ini.ReadBool(u"main", c.Ident, c.Default), c.Expected) << platform::ToUtf8(c.Ident);
  }
}

TEST_F(IniTyped, WriteIntegerAndWriteBoolWriteTheirPlainForms) {
  {
    TMemIniFile ini(IniName());
    ini.WriteInteger(u"m", u"zero", 0);
    ini.WriteInteger(u"m", u"neg", -42);
    ini.WriteInteger(u"m", u"min", INT32_MIN);
    ini.WriteInteger(u"m", u"max", INT32_MAX);
    ini.WriteBool(u"m", u"yes", true);
    ini.WriteBool(u"m", u"no", false);
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadIni(), cBom + "[m]\r\nzero=0\r\nneg=-42\r\nmin=-2147483648\r\nmax=2147483647\r\nyes=1\r\nno=0\r\n\r\n");
}

}  // namespace
}  // namespace quorvel_test
