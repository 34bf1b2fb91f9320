// A flush replaces the file whole or not at all.
#include "FaultyFiles.h"
#include "IniTestFixture.h"

#include <sys/stat.h>

#include "platform/Exception.h"
#include "settings/IniErrors.h"
#include "settings/SafeWrite.h"

namespace quorvel_test {
namespace {

using platform::standin::TStandInFiles;
using settings::TMemIniFile;

class IniFlush : public TFaultyIniTest {
 protected:
  std::u16string CreateError(const std::u16string& systemText) const {
    return u"ファイル \"" + IniName() + u"\" を作成できません。" + systemText;
  }
  // Flushes a changed copy of the file and returns the error text, empty on success.
  // beforeFlush runs between the load and the flush (another process opening the file).
  template <typename TBefore = void (*)()>
  std::u16string FlushChanged(TBefore beforeFlush = [] {}) {
    TMemIniFile ini(IniName());
    ini.WriteString(u"main", u"top", u"999");
    beforeFlush();
    try {
      ini.UpdateFile();
    } catch (const settings::EIniCreateError& error) {
      return error.Message();
    }
    return u"";
  }

  static constexpr char cOld[] = "; kept as it is\n[main]\ntop=1\n";
};

TEST_F(IniFlush, AFailedStepLeavesTheOldFileAndNoTemporaryFile) {
  struct TCase {
    TFault Fault;
    const char* Name;
    std::u16string SystemText;
  };
  const TCase cases[] = {
      {TFault::CreateTemp, "create temp", u"injected fault"},
      {TFault::Write, "write", u"injected fault"},
      {TFault::ShortWrite, "short write", u"ディスクに十分な空き領域がありません。"},
      {TFault::FlushToDisk, "flush to disk", u"injected fault"},
      {TFault::CopyAttributes, "attributes", u"injected fault"},
      {TFault::Replace, "replace", u"injected fault"},
  };
  for (const TCase& c : cases) {
    WriteIni(cOld);
    Files().Fault = c.Fault;
    EXPECT_EQ(FlushChanged(), CreateError(c.SystemText)) << c.Name;
    EXPECT_EQ(ReadIni(), cOld) << c.Name;
    EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"}) << c.Name;
  }
}

TEST_F(IniFlush, AFailedFirstFlushCreatesNoFile) {
  for (TFault fault : {TFault::Write, TFault::ShortWrite, TFault::FlushToDisk, TFault::Replace}) {
    Files().Fault = fault;
    EXPECT_FALSE(FlushChanged().empty());
    EXPECT_TRUE(Listing(Dir).empty());
  }
}

TEST_F(IniFlush, TheDataReachesTheDiskBeforeTheReplaceAndTheLockIsHeldUntilThen) {
  WriteIni(cOld);
  EXPECT_EQ(FlushChanged(), u"");
  EXPECT_EQ(ReadIni(), cBom + "[main]\r\ntop=999\r\n\r\n");
  EXPECT_EQ(Files().Log,
            (std::vector<std::string>{"lock", "temp", "write", "flush", "close", "attributes", "unlock", "replace"}));
  EXPECT_EQ(std::filesystem::path(platform::ToUtf8(Files().TempPath)).parent_path(), Dir);
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"});
}

TEST_F(IniFlush, AFileHeldByAnotherProcessIsLeftAlone) {
  for (TStandInFiles::THold hold : {TStandInFiles::THold::Reading, TStandInFiles::THold::Writing}) {
    WriteIni(cOld);
    const std::u16string error = FlushChanged([&] {
      Files().HoldOpen(IniName(), hold);
      Files().Log.clear();
    });
    EXPECT_EQ(error, CreateError(u"プロセスはファイルにアクセスできません。別のプロセスが使用中です。"));
    EXPECT_EQ(Files().Log, std::vector<std::string>{}) << "refused before anything was written";
    EXPECT_EQ(ReadIni(), cOld);
    EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"});
    Files().ReleaseAll();
  }
}

// Refused as Windows refuses it, also to root.
TEST_F(IniFlush, AReadOnlyFileGivesTheFlushError) {
  WriteIni(cOld);
  std::filesystem::permissions(Path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_EQ(FlushChanged(), CreateError(u"アクセスが拒否されました。"));
  EXPECT_EQ(ReadIni(), cOld);
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"});
}

TEST_F(IniFlush, AnUnwritableFolderGivesTheFlushError) {
  WriteIni(cOld);
  TUnprivileged user(Dir);
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_EQ(FlushChanged(), CreateError(u"アクセスが拒否されました。"));
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadIni(), cOld);
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"});
}

TEST_F(IniFlush, AFolderAtThePathGivesTheFlushError) {
  std::filesystem::create_directory(Path);
  EXPECT_FALSE(FlushChanged().empty());
  EXPECT_TRUE(std::filesystem::is_directory(Path));
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{"Halvorn.ini"});
}

// What the new file keeps of the old one: the access list; not the owner.
TEST_F(IniFlush, TheOldFilesAccessListIsKeptAndNothingMore) {
  WriteIni(cOld);
  const bool root = ::geteuid() == 0;
  const uid_t owner = root ? TUnprivileged::cNobody : ::geteuid();
  const gid_t group = root ? TUnprivileged::cNobody : ::getegid();
  ASSERT_EQ(::chown(Path.c_str(), owner, group), 0);
  ASSERT_EQ(::chmod(Path.c_str(), 02640), 0);  // set-group-id is no access right
  EXPECT_EQ(FlushChanged(), u"");
  struct stat info {};
  ASSERT_EQ(::stat(Path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(info.st_gid, group);
  EXPECT_EQ(info.st_uid, ::geteuid()) << "the writer owns the new file, as on Windows";
}

TEST_F(IniFlush, ANewFileGetsTheUsualPermissions) {
  const mode_t mask = ::umask(022);
  EXPECT_EQ(FlushChanged(), u"");
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(::stat(Path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(IniFlush, ALinkIsWrittenThroughToItsTargetAndStaysALink) {
  const std::filesystem::path real = Dir / "real";
  std::filesystem::create_directory(real);
  WriteFile(real / "target.ini", cOld);
  std::filesystem::create_symlink(real / "target.ini", Path);
  EXPECT_EQ(FlushChanged(), u"");
  EXPECT_TRUE(std::filesystem::is_symlink(Path));
  EXPECT_EQ(ReadFile(real / "target.ini"), cBom + "[main]\r\ntop=999\r\n\r\n");
  EXPECT_EQ(std::filesystem::path(platform::ToUtf8(Files().TempPath)).parent_path(), real)
      << "the temporary file lives beside the target, so the replace stays on one file system";
  EXPECT_EQ(Listing(Dir), (std::vector<std::string>{"Halvorn.ini", "real"}));
  EXPECT_EQ(Listing(real), std::vector<std::string>{"target.ini"});
}

TEST_F(IniFlush, AHoldOnALinksTargetStopsTheFlush) {
  const std::filesystem::path target = Dir / "target.ini";
  WriteFile(target, cOld);
  std::filesystem::create_symlink(target, Path);
  Files().HoldOpen(FromWide(target), TStandInFiles::THold::Reading);
  EXPECT_FALSE(FlushChanged().empty());
  EXPECT_EQ(ReadFile(target), cOld);
}

TEST_F(IniFlush, AMissingFolderGivesTheFlushError) {
  Path = Dir / "missing" / "Halvorn.ini";
  EXPECT_EQ(FlushChanged(), CreateError(u"指定されたファイルが見つかりません。"));
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel_test
