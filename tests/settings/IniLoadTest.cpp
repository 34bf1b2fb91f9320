// Files that cannot be loaded: held by another process, unreadable, or not UTF-8.
#include "IniTestFixture.h"

#include <sys/resource.h>

#include "settings/IniErrors.h"

namespace quorvel_test {
namespace {

using platform::standin::TStandInFiles;
using settings::TMemIniFile;

class IniLoad : public TIniTest {
 protected:
  TStandInFiles& Files() { return platform::standin::StandIn().FilesImpl; }
  std::u16string OpenError(const std::u16string& systemText) const {
    return u"ファイル " + IniName() + u" は開けません。 " + systemText + u" ";
  }
};

TEST_F(IniLoad, AReaderElsewhereDoesNotStopTheLoad) {
  WriteIni("[a]\nk=1\n");
  Files().HoldOpen(IniName(), TStandInFiles::THold::Reading);
  EXPECT_EQ(TMemIniFile(IniName()).ReadString(u"a", u"k", u""), u"1");
}

TEST_F(IniLoad, AWriterElsewhereGivesTheOpenError) {
  WriteIni("[a]\nk=1\n");
  Files().HoldOpen(IniName(), TStandInFiles::THold::Writing);
  try {
    TMemIniFile ini(IniName());
    ADD_FAILURE() << "loaded a file held for writing";
  } catch (const settings::EIniOpenError& error) {
    EXPECT_EQ(error.Message(), OpenError(u"プロセスはファイルにアクセスできません。別のプロセスが使用中です。"));
    EXPECT_STREQ(error.what(), platform::ToUtf8(error.Message()).c_str());
  }
  Files().ReleaseAll();
  EXPECT_EQ(TMemIniFile(IniName()).ReadString(u"a", u"k", u""), u"1");
}

TEST_F(IniLoad, AHoldOnTheTargetAppliesThroughALink) {
  WriteIni("[a]\nk=1\n");
  const std::filesystem::path link = Dir / "link.ini";
  std::filesystem::create_symlink(Path, link);
  Files().HoldOpen(IniName(), TStandInFiles::THold::Writing);
  EXPECT_THROW(TMemIniFile(FromWide(link)), settings::EIniOpenError);
}

TEST_F(IniLoad, AnUnreadableFileGivesTheOpenError) {
  WriteIni("[a]\nk=1\n");
  std::filesystem::permissions(Path, std::filesystem::perms::none);
  TUnprivileged user(Dir);
  try {
    TMemIniFile ini(IniName());
    ADD_FAILURE() << "loaded an unreadable file";
  } catch (const settings::EIniOpenError& error) {
    EXPECT_EQ(error.Message(), OpenError(u"アクセスが拒否されました。"));
  }
}

// A file over the limit of 2 GiB - 1 bytes is refused from its size: a sparse file of the
// limit and one byte, which reading would bring into memory whole first.
TEST_F(IniLoad, AFileOverTheSizeLimitIsRefusedBeforeItIsRead) {
  WriteIni("");
  ASSERT_EQ(::truncate(Path.c_str(), static_cast<off_t>(TMemIniFile::cMaxBytes) + 1), 0);
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  try {
    TMemIniFile ini(IniName());
    ADD_FAILURE() << "loaded a file over the limit";
  } catch (const settings::EIniOpenError& error) {
    EXPECT_EQ(error.Message(), OpenError(u"ファイルが大きすぎます"));
  }
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak memory rose by as many KiB";
}

TEST_F(IniLoad, ARelativeNameIsReportedByItsFullPath) {
  WriteIni("[a]\nk=1\n");
  Files().HoldOpen(IniName(), TStandInFiles::THold::Writing);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(Dir);
  try {
    TMemIniFile ini(u"Halvorn.ini");
    ADD_FAILURE() << "loaded a file held for writing";
  } catch (const settings::EIniOpenError& error) {
    EXPECT_TRUE(error.Message().starts_with(u"ファイル " + IniName() + u" は")) << error.what();
  }
  std::filesystem::current_path(before);
}

TEST_F(IniLoad, TextThatIsNotUtf8IsRefusedAndLeftAlone) {
  struct TCase {
    const char* Name;
    std::string Bytes;
  };
  const TCase cases[] = {
      {"shift_jis", "[main]\nfilename=\x83\x65\x83\x58\x83\x67\n"},
      {"latin-1", "[main]\nname=caf\xE9\n"},
      {"utf-16 with its mark", std::string("\xFF\xFE[\0m\0]\0", 8)},
      {"utf-16 big endian", std::string("\xFE\xFF\0[\0m\0]", 8)},
      {"bad after the mark", cBom + "[a]\nk=\xC0\xAF\n"},
      {"truncated at the end", "[a]\nk=\xE3\x81"},
      {"surrogate", "[a]\nk=\xED\xA0\x80\n"},
      {"above U+10FFFF", "[a]\nk=\xF4\x90\x80\x80\n"},
      {"overlong three bytes", "[a]\nk=\xE0\x80\xAF\n"},
      {"stray continuation", "[a]\nk=\x80\n"},
      {"in a comment", "; \xFF\n[a]\nk=1\n"},
  };
  for (const TCase& c : cases) {
    WriteIni(c.Bytes);
    try {
      TMemIniFile ini(IniName());
      ADD_FAILURE() << c.Name << ": loaded";
    } catch (const settings::EIniEncodingError& error) {
      EXPECT_EQ(error.Message(), u"ファイル " + IniName() + u" は UTF-8 のテキストではないため読み込めません")
          << c.Name;
    }
    EXPECT_EQ(ReadIni(), c.Bytes) << c.Name;
  }
}

TEST_F(IniLoad, EveryKindOfValidUtf8IsAccepted) {
  // One of each length, the edges of each range included.
  WriteIni(cBom +
           "[a]\nk=\x7F \xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 "
           "\xF4\x8F\xBF\xBF\n");
  EXPECT_EQ(TMemIniFile(IniName()).ReadString(u"a", u"k", u""),
            u"\u007F \u0080 \u07FF \u0800 \uD7FF \uE000 \uFFFF \U00010000 \U0010FFFF");
}

}  // namespace
}  // namespace quorvel_test
