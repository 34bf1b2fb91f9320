// Settings files at the edges: very large, very long lines, NUL bytes. Each gives a clear
// result or a clear error.
#include "IniTestFixture.h"

#include <fcntl.h>
#include <unistd.h>

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

class IniEdge : public TIniTest {};

// 100 MB, nearly all of it a hole of NUL bytes: one line that trims to nothing.
TEST_F(IniEdge, AHundredMegabyteFileReadsItsEntriesAtBothEnds) {
  constexpr off_t cSize = 100 << 20;
  const std::string head = "[main]\r\ntop=5\r\n";
  const std::string tail = "\r\nleft=7\r\n";
  {
    const int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), cSize - static_cast<off_t>(tail.size())),
              static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  {
    TMemIniFile ini(IniName());
    EXPECT_EQ(ini.ReadInteger(u"main", u"top", -1), 5);
    EXPECT_EQ(ini.ReadInteger(u"main", u"left", -1), 7);
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadIni(), cBom + "[main]\r\ntop=5\r\nleft=7\r\n\r\n");
}

TEST_F(IniEdge, AMegabyteLineKeepsItsNameOrValueWhole) {
  const std::string mega(1 << 20, 'v');
  struct TCase {
    const char* Name;
    std::string File;
    std::u16string Section, Ident, Value;
  };
  const std::u16string wide = FromWide(mega);
  const TCase cases[] = {
      {"value", "[main]\nk=" + mega + "\n", u"main", u"k", wide},
      {"name", "[main]\n" + mega + "=1\n", u"main", wide, u"1"},
      {"section", "[" + mega + "]\nk=1\n", wide, u"k", u"1"},
      // A megabyte of text without "=" is a text line: kept, read by no name.
      {"text line", "[main]\n" + mega + "\nk=2\n", u"main", u"k", u"2"},
  };
  for (const TCase& c : cases) {
    WriteIni(c.File);
    std::string flushed;
    {
      TMemIniFile ini(IniName());
      EXPECT_EQ(ini.ReadString(c.Section, c.Ident, u"(none)"), c.Value) << c.Name;
      ini.UpdateFile();
      flushed = ReadIni();
    }
    TMemIniFile again(IniName());
    EXPECT_EQ(again.ReadString(c.Section, c.Ident, u"(none)"), c.Value) << c.Name;
    again.UpdateFile();
    EXPECT_EQ(ReadIni(), flushed) << c.Name;
  }
  // Written, not loaded: the same.
  {
    WriteIni("");
    TMemIniFile ini(IniName());
    ini.WriteString(u"main", u"k", wide);
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadIni(), cBom + "[main]\r\nk=" + mega + "\r\n\r\n");
}

TEST_F(IniEdge, NulBytesAreTrimmedAtTheEndsAndKeptInside) {
  using namespace std::string_literals;
  struct TCase {
    std::string File;
    std::u16string Section, Ident;
    std::u16string Value;  // as read; "(none)" when absent
    std::string Flushed;   // the whole file after a flush, without the byte-order mark
  };
  const TCase cases[] = {
      {"[main]\ntop=1\0\0\n"s, u"main", u"top", u"1", "[main]\r\ntop=1\r\n\r\n"},
      {"[main]\nk=a\0b\n"s, u"main", u"k", u"a\0b"s, "[main]\r\nk=a\0b\r\n\r\n"s},
      {"\0[main]\0\nk=1\n"s, u"main", u"k", u"1", "[main]\r\nk=1\r\n\r\n"},
      {"[main]\nk\0x=1\n"s, u"main", u"k\0x"s, u"1", "[main]\r\nk\0x=1\r\n\r\n"s},
      {"[main]\nk\0x=1\n"s, u"main", u"k", u"(none)", "[main]\r\nk\0x=1\r\n\r\n"s},
      {"[ma\0in]\nk=1\n"s, u"ma\0in"s, u"k", u"1", "[ma\0in]\r\nk=1\r\n\r\n"s},
      {"\0\0\0\0"s, u"main", u"k", u"(none)", ""},
  };
  for (const TCase& c : cases) {
    WriteIni(c.File);
    {
      TMemIniFile ini(IniName());
      EXPECT_EQ(ini.ReadString(c.Section, c.Ident, u"(none)"), c.Value) << c.Flushed;
      ini.UpdateFile();
    }
    EXPECT_EQ(ReadIni(), cBom + c.Flushed);
  }
}

}  // namespace
}  // namespace quorvel_test
