// The settings file's sharing rules and full paths on real Windows files: the load shares
// reading only, the flush holds the file exclusively and replaces it in one step.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Win32Fixture.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/win32/Win32.h"
#include "settings/IniErrors.h"
#include "settings/IniFile.h"

namespace {

using namespace quorvel_test;

const std::string cOld = "\xEF\xBB\xBF[main]\r\ntop=1\r\n\r\n";

// Another program's handle on a file, open for as long as the object lives.
class THeldFile {
 public:
  THeldFile(const std::wstring& path, DWORD access, DWORD share) {
    FHandle = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~THeldFile() {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  }
  bool Open() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

// The names in the folder, sorted as Windows lists them.
std::vector<std::wstring> Listing(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

class Win32SettingsFile : public TWin32Test {
 protected:
  std::u16string IniPath() const { return Narrow16(InDir(L"Halvorn.ini")); }
  // Flushes a changed copy; returns the error text, empty on success.
  std::string FlushChanged(const std::function<void()>& beforeFlush = [] {}) {
    settings::TMemIniFile ini(IniPath());
    ini.WriteString(u"main", u"top", u"2");
    beforeFlush();
    try {
      ini.UpdateFile();
    } catch (const settings::EIniCreateError& error) {
      return error.what();
    }
    return "";
  }
};

TEST_F(Win32SettingsFile, TheLoadSharesReadingOnly) {
  WriteIni(cOld);
  {
    THeldFile reader(InDir(L"Halvorn.ini"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader.Open());
    settings::TMemIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString(u"main", u"top", u""), u"1") << "another reader does not stop the load";
  }
  THeldFile writer(InDir(L"Halvorn.ini"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(writer.Open());
  try {
    settings::TMemIniFile ini(IniPath());
    ADD_FAILURE() << "the load shares reading only: a writer must stop it";
  } catch (const settings::EIniOpenError& error) {
    const std::string text = error.what();
    EXPECT_EQ(text.rfind("ファイル " + platform::ToUtf8(IniPath()) + " は開けません。 ", 0), 0u) << text;
  }
  EXPECT_EQ(ReadIni(), cOld);
}

TEST_F(Win32SettingsFile, TheFlushFailsAtOnceWhileAnotherProgramHasTheFileOpen) {
  for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
    WriteIni(cOld);
    std::unique_ptr<THeldFile> other;
    const std::string error = FlushChanged([&] {
      other = std::make_unique<THeldFile>(InDir(L"Halvorn.ini"), access, FILE_SHARE_READ | FILE_SHARE_WRITE);
      ASSERT_TRUE(other->Open());
    });
    EXPECT_EQ(error.rfind("ファイル \"" + platform::ToUtf8(IniPath()) + "\" を作成できません。", 0), 0u) << error;
    other.reset();
    EXPECT_EQ(ReadIni(), cOld) << "the file stays as it was";
    EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"}) << "no temporary file is left";
  }
}

TEST_F(Win32SettingsFile, TheFlushReplacesTheFileWholeAndKeepsItsAttributes) {
  WriteIni(cOld);
  ASSERT_TRUE(SetFileAttributesW(InDir(L"Halvorn.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(FlushChanged(), "");
  EXPECT_EQ(ReadIni(), "\xEF\xBB\xBF[main]\r\ntop=2\r\n\r\n");
  EXPECT_TRUE(GetFileAttributesW(InDir(L"Halvorn.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"});
}

// Windows' replace stopped where its documented errors say it may: with the old file moved to
// the backup name (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) or left in place (the other two); or,
// for real, refused because another program opened the file once our hold had ended.
class THalfDoneFiles : public platform::win32::TWin32Files {
 public:
  DWORD Code = 0;  // 0: the real replace, with the file held open meanwhile

 protected:
  bool ReplaceFileCall(const std::u16string& replaced, const std::u16string& replacement,
                       const std::u16string& backup) override {
    if (Code == 0) {
      THeldFile other(Wide(replaced), GENERIC_READ, FILE_SHARE_READ);
      EXPECT_TRUE(other.Open());
      return TWin32Files::ReplaceFileCall(replaced, replacement, backup);
    }
    if (Code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      EXPECT_TRUE(MoveFileW(Wide(replaced).c_str(), Wide(backup).c_str()));
    }
    SetLastError(Code);
    return false;
  }
};

class THalfDonePlatform : public platform::win32::TWin32Platform {
 public:
  THalfDoneFiles HalfDone;
  platform::IFileSystem& Files() override { return HalfDone; }
};

TEST_F(Win32SettingsFile, AReplaceThatStopsHalfWayLeavesTheOldFileAndNoOther) {
  THalfDonePlatform os;
  platform::TPlatform& outer = platform::Current();
  platform::SetCurrent(&os);
  for (DWORD code : {DWORD(0), DWORD(ERROR_UNABLE_TO_REMOVE_REPLACED), DWORD(ERROR_UNABLE_TO_MOVE_REPLACEMENT),
                     DWORD(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)}) {
    WriteIni(cOld);
    os.HalfDone.Code = code;
    const std::string error = FlushChanged();
    EXPECT_EQ(error.rfind("ファイル \"" + platform::ToUtf8(IniPath()) + "\" を作成できません。", 0), 0u)
        << code << error;
    EXPECT_EQ(ReadIni(), cOld) << code;
    EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"}) << code << ": no temporary or backup file";
  }
  platform::SetCurrent(&outer);
}

TEST_F(Win32SettingsFile, AReadOnlyFileIsNotReplaced) {
  WriteIni(cOld);
  ASSERT_TRUE(SetFileAttributesW(InDir(L"Halvorn.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(FlushChanged(), "");
  EXPECT_EQ(ReadIni(), cOld);
  EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"});
}

TEST_F(Win32SettingsFile, NamesAreExpandedAgainstTheCurrentDirectory) {
  platform::IFileSystem& files = platform::Current().Files();
  const std::u16string dir = Narrow16(Dir());
  NewFolder(L"sub");
  struct TCase {
    std::u16string Name;
    std::u16string Full;
  } cases[] = {
      {u"Halvorn.ini", dir + u"\\Halvorn.ini"}, {u"sub\\..\\Halvorn.ini", dir + u"\\Halvorn.ini"},
      {u"sub/a.zip", dir + u"\\sub\\a.zip"},    {u".\\sub\\文書 1.xml", dir + u"\\sub\\文書 1.xml"},
      {u"C:\\a\\..\\b.zip", u"C:\\b.zip"},
  };
  for (const TCase& c : cases) EXPECT_EQ(files.ExpandFileName(c.Name), c.Full) << platform::ToUtf8(c.Name);
  SetCurrentDirectoryW(InDir(L"sub").c_str());
  EXPECT_EQ(files.ExpandFileName(u"Halvorn.ini"), dir + u"\\sub\\Halvorn.ini") << "looked up afresh each time";
}

}  // namespace
