// The settings file's sharing rules and full paths on real Windows files: the load shares
// reading only, the flush holds the file exclusively and puts the new one in place in one rename.
#include <windows.h>
#include <sddl.h>

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
const std::string cNew = "\xEF\xBB\xBF[main]\r\ntop=2\r\n\r\n";

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

// The file's access list, as a security descriptor's bytes.
std::vector<char> AccessList(const std::wstring& path) {
  DWORD size = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<char> descriptor(size);
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size);
  return descriptor;
}

// The real backend with seams for a test: a share's answer to a change of the access list
// (ERROR_SUCCESS: the real call), a step just before the rename, its count of temporary names.
class TTestFiles : public platform::win32::TWin32Files {
 public:
  DWORD AccessListAnswer = ERROR_SUCCESS;
  std::function<void()> BeforeRename = [] {};
  void StartNamesAgain() { FTempSerial = 0; }
  void Replace(const std::u16string& from, const std::u16string& to, bool replace) override {
    BeforeRename();
    TWin32Files::Replace(from, to, replace);
  }

 protected:
  unsigned long SetAccessListCall(const std::u16string& path, void* list, bool isProtected) override {
    return AccessListAnswer ? AccessListAnswer : TWin32Files::SetAccessListCall(path, list, isProtected);
  }
};

// The backend of the scope it lives in.
class TTestPlatform : public platform::win32::TWin32Platform {
 public:
  TTestPlatform() { platform::SetCurrent(this); }
  ~TTestPlatform() override { platform::SetCurrent(FOuter); }
  platform::IFileSystem& Files() override { return Own; }
  TTestFiles Own;

 private:
  platform::TPlatform* FOuter = &platform::Current();
};

class Win32SettingsFile : public TWin32Test {
 protected:
  TTestFiles& Files() { return FOs.Own; }
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

 private:
  TTestPlatform FOs;
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

// Where the user may set it, the new file keeps the old one's access list; a share that refuses
// the change still saves, and the file then has what the folder gives it. Any other failure
// keeps the old file. Attributes are kept either way, and nothing is left behind.
TEST_F(Win32SettingsFile, TheAccessListIsKeptWhereTheUserMaySetIt) {
  const std::wstring path = InDir(L"Halvorn.ini");
  WriteIni(cOld);
  const std::vector<char> folders = AccessList(path);
  PSECURITY_DESCRIPTOR everyone = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;WD)", 1, &everyone, nullptr));
  for (DWORD answer : {DWORD(ERROR_SUCCESS), DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_NOT_ENOUGH_MEMORY)}) {
    WriteIni(cOld);
    ASSERT_TRUE(SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, everyone));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::vector<char> own = AccessList(path);
    ASSERT_NE(own, folders) << "the test needs an access list that a new file does not get";
    Files().AccessListAnswer = answer;
    const bool saved = FlushChanged().empty();
    EXPECT_EQ(saved, answer != ERROR_NOT_ENOUGH_MEMORY) << answer;
    EXPECT_EQ(ReadIni(), saved ? cNew : cOld) << answer;
    EXPECT_EQ(AccessList(path), answer == ERROR_ACCESS_DENIED ? folders : own) << answer;
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) << answer;
    EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"}) << answer;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  LocalFree(everyone);
}

// Without a file at the load, a file another program makes before the flush, or during it just
// before the rename, is left alone.
TEST_F(Win32SettingsFile, AFirstSaveLeavesAFileMadeAfterTheLoadAlone) {
  const std::string theirs = "[LIC-9]\r\nunit1=A\r\n";
  for (bool duringFlush : {false, true}) {
    DeleteFileW(InDir(L"Halvorn.ini").c_str());
    Files().BeforeRename = [&] {
      if (duringFlush) WriteIni(theirs);
    };
    const std::string error = FlushChanged([&] {
      if (!duringFlush) WriteIni(theirs);
    });
    EXPECT_NE(error, "");
    EXPECT_EQ(ReadIni(), theirs) << duringFlush;
    EXPECT_EQ(Listing(Dir()), std::vector<std::wstring>{L"Halvorn.ini"}) << duringFlush;
  }
}

// Temporary files under the names this process would use, as a crashed earlier run under the
// same process id leaves them, never stop a save, however many there are.
TEST_F(Win32SettingsFile, StrayTemporaryFilesNeverStopASave) {
  WriteIni(cOld);
  constexpr int cStrays = 300;
  for (int i = 0; i < cStrays; ++i) {
    std::u16string stray;
    Files().Close(Files().CreateTemp(IniPath(), stray));
  }
  Files().StartNamesAgain();
  EXPECT_EQ(FlushChanged(), "");
  EXPECT_EQ(ReadIni(), cNew);
  EXPECT_EQ(Listing(Dir()).size(), std::size_t{cStrays + 1}) << "the strays stay as they are and none is added";
}

// The converter rewrites the file in place again and again (open for reading and writing, no
// sharing, created when missing) while we flush it in a loop: it never finds the file missing,
// the licence's model table survives, and no temporary file is left.
TEST_F(Win32SettingsFile, TheConvertersRewritesRacingOurFlushesNeverFindTheFileMissing) {
  WriteIni("\xEF\xBB\xBF[main]\r\ntop=1\r\n\r\n[LIC-7]\r\nunit1=XR-100\r\ncomment1=front desk\r\n\r\n");
  ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\StandInConverter.exe").c_str(), InDir(L"Halvorn.exe").c_str(), FALSE));
  std::wstring command = L"\"" + InDir(L"Halvorn.exe") + L"\" --rmw-ms 3000";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION converter{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Dir().c_str(), &startup,
                             &converter));
  int flushed = 0, refused = 0;
  while (WaitForSingleObject(converter.hProcess, 0) == WAIT_TIMEOUT) {
    try {
      settings::TMemIniFile ini(IniPath());
      ini.WriteInteger(u"main", u"top", flushed + 2);
      ini.UpdateFile();
      ++flushed;
    } catch (const settings::EIniFileError&) {
      ++refused;  // the converter had the file: refused at once
    }
  }
  CloseHandle(converter.hThread);
  CloseHandle(converter.hProcess);
  const std::string log = ReadBytes(InDir(L"Halvorn.log"));
  std::printf("[  race    ] %d flushes, %d refused; the converter's log:\n%s", flushed, refused, log.c_str());
  EXPECT_NE(log.find(" missing=0\r\n"), std::string::npos);
  EXPECT_TRUE(flushed > 0 && log.find("opens=0 ") == std::string::npos) << "both must have had the file";
  EXPECT_NE(ReadIni().find("\r\n[LIC-7]\r\nunit1=XR-100\r\ncomment1=front desk\r\n"), std::string::npos);
  EXPECT_EQ(Listing(Dir()).size(), 3u) << "Halvorn.exe, .ini and .log, and no temporary file";
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
