#pragma once
// A fresh stand-in backend and a fresh current directory for each test of the windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "Bom.h"
#include "app/uMain.h"
#include "platform/Text.h"
#include "platform/standin/StandIn.h"

namespace quorvel_test {

class TAppTest : public testing::Test {
 protected:
  void SetUp() override {
    FOuterPlatform = &platform::Current();
    FPlatform = std::make_unique<platform::standin::TStandInPlatform>();
    platform::SetCurrent(FPlatform.get());
    FOldDir = std::filesystem::current_path();
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    Dir = std::filesystem::temp_directory_path() /
          ("quorvel-app-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    std::filesystem::current_path(Dir);
  }
  void TearDown() override {
    Form.reset();
    app::frmMain = nullptr;
    std::filesystem::current_path(FOldDir);
    std::filesystem::remove_all(Dir);
    platform::SetCurrent(FOuterPlatform);
  }

  platform::standin::TStandInPlatform& Os() { return *FPlatform; }

  // The process start: create the window, run its creation handler, show it.
  app::TfrmMain& Start() {
    Form = std::make_unique<app::TfrmMain>();
    app::frmMain = Form.get();
    Form->CreateHandle();
    Form->Guarded([this] { Form->FormCreate(); });
    Os().AppImpl.Run(*Form);
    return *Form;
  }

  std::filesystem::path IniPath() const { return Dir / "Halvorn.ini"; }
  void WriteIni(const std::string& bytes) const { WriteFile(IniPath(), bytes); }
  std::string ReadIni() const { return ReadFile(IniPath()); }

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
  static std::u16string FromWide(const std::string& utf8) { return platform::FromUtf8(utf8); }

  std::filesystem::path Dir;
  std::unique_ptr<app::TfrmMain> Form;

 private:
  platform::TPlatform* FOuterPlatform = nullptr;
  std::unique_ptr<platform::standin::TStandInPlatform> FPlatform;
  std::filesystem::path FOldDir;
};

}  // namespace quorvel_test
