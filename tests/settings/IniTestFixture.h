#pragma once
// Each test gets a fresh folder of its own and the stand-in backend of the test run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Bom.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/standin/StandIn.h"
#include "settings/IniFile.h"

namespace quorvel_test {

// Runs the rest of a scope without root's right to ignore permissions, so that a read-only
// file or folder refuses us as it refuses any user. The test's folder is handed over first.
class TUnprivileged {
 public:
  static constexpr uid_t cNobody = 65534;
  explicit TUnprivileged(const std::filesystem::path& dir) : FWasRoot(::geteuid() == 0) {
    if (!FWasRoot) return;
    ::chown(dir.c_str(), cNobody, cNobody);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      ::lchown(entry.path().c_str(), cNobody, cNobody);
    }
    EXPECT_EQ(::setegid(cNobody), 0);
    EXPECT_EQ(::seteuid(cNobody), 0);
  }
  ~TUnprivileged() {
    if (!FWasRoot) return;
    EXPECT_EQ(::seteuid(0), 0);
    EXPECT_EQ(::setegid(0), 0);
  }
  TUnprivileged(const TUnprivileged&) = delete;
  TUnprivileged& operator=(const TUnprivileged&) = delete;

 private:
  bool FWasRoot;
};

class TIniTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-settings-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    Dir = pattern;
    Path = Dir / "Halvorn.ini";
  }
  void TearDown() override {
    platform::standin::StandIn().FilesImpl.ReleaseAll();
    std::error_code ignored;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(Dir, ignored);
  }

  static std::u16string FromWide(const std::string& utf8) { return platform::FromUtf8(utf8); }
  static std::u16string FromWide(const std::filesystem::path& path) { return platform::FromUtf8(path.string()); }
  std::u16string IniName() const { return FromWide(Path); }

  static void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  void WriteIni(const std::string& bytes) const { WriteFile(Path, bytes); }
  std::string ReadIni() const { return ReadFile(Path); }

  // The names in the folder, to see that no temporary file was left behind.
  static std::vector<std::string> Listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Loads the text, flushes it and returns what landed on disk.
  std::string Flushed(const std::string& stored) {
    WriteIni(stored);
    settings::TMemIniFile(IniName()).UpdateFile();
    return ReadIni();
  }

  std::filesystem::path Dir;
  std::filesystem::path Path;
};

}  // namespace quorvel_test
