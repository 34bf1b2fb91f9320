#pragma once
// Real files that fail where a test says, and a log of the steps a flush took.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "IniTestFixture.h"
#include "platform/Exception.h"
#include "platform/standin/StandIn.h"

namespace quorvel_test {

enum class TFault { None, CreateTemp, Write, ShortWrite, FlushToDisk, CopyAttributes, Replace };

// When a fault chosen by call number strikes: before the operation acts, after it acted,
// or (for a write) once half of the bytes are written.
enum class TTiming { Before, Midway, After };

class TFaultyFiles : public platform::standin::TStandInFiles {
 public:
  // A fault by step: the first call of that step fails.
  TFault Fault = TFault::None;
  // A fault by number: the FailAtCall-th call (from 0) of an operation that may raise fails.
  int FailAtCall = -1;
  TTiming Timing = TTiming::Before;
  // What a fault by number does; by default it raises the seam's error. A test may end the
  // process here instead.
  std::function<void()> OnFault;
  // At most this many bytes per Write, as a file system that writes in pieces.
  std::size_t WriteLimit = std::numeric_limits<std::size_t>::max();
  // Bytes the disk still takes; a write beyond them stores what fits, then reports 0 bytes.
  std::size_t DiskSpace = std::numeric_limits<std::size_t>::max();

  std::vector<std::string> Log;    // the flush's steps, its closes included
  std::vector<std::string> Calls;  // the operations that may raise, in call order
  platform::TFileHandle Lock = 0;  // the flush's handles while they are open
  platform::TFileHandle Temp = 0;
  std::u16string TempPath;

  void ResetFaults() {
    Fault = TFault::None;
    FailAtCall = -1;
    Timing = TTiming::Before;
    OnFault = nullptr;
    WriteLimit = std::numeric_limits<std::size_t>::max();
    DiskSpace = std::numeric_limits<std::size_t>::max();
    Log.clear();
    Calls.clear();
    TempPath.clear();
  }

 private:
  // Defined first: the overrides below deduce their results from Counted.
  void Fail(TFault step) {
    if (Fault == step) throw platform::EOSError(1117, u"injected fault");
  }
  bool Hit(const char* name) {
    Calls.emplace_back(name);
    return static_cast<int>(Calls.size()) - 1 == FailAtCall;
  }
  void Strike() {
    if (OnFault) OnFault();
    throw platform::EOSError(1117, u"injected fault");
  }
  template <typename TOperation>
  auto Counted(const char* name, TOperation&& operation) {
    const bool hit = Hit(name);
    if (hit && Timing != TTiming::After) Strike();
    auto result = operation();
    if (hit) Strike();
    return result;
  }

 public:
  std::u16string ResolveLinks(const std::u16string& path) override {
    return Counted("resolve", [&] { return TStandInFiles::ResolveLinks(path); });
  }
  platform::TFileHandle LockExclusive(const std::u16string& path) override {
    Lock = Counted("lock", [&] { return TStandInFiles::LockExclusive(path); });
    Log.emplace_back("lock");
    return Lock;
  }
  platform::TFileHandle CreateTemp(const std::u16string& nearPath, std::u16string& tempPath) override {
    Fail(TFault::CreateTemp);
    platform::TFileHandle handle = Counted("temp", [&] { return TStandInFiles::CreateTemp(nearPath, tempPath); });
    Temp = handle;
    TempPath = tempPath;
    Log.emplace_back("temp");
    return handle;
  }
  std::size_t Write(platform::TFileHandle file, const char* data, std::size_t size) override {
    Log.emplace_back("write");
    if (Fault == TFault::Write || Fault == TFault::ShortWrite) {
      // Part of the bytes reach the temporary file first, as with a full disk.
      const std::size_t written = TStandInFiles::Write(file, data, size / 2);
      Fail(TFault::Write);
      return written;
    }
    const std::size_t limit = std::min({size, WriteLimit, DiskSpace});
    const bool hit = Hit("write");
    if (hit && Timing == TTiming::Before) Strike();
    if (hit && Timing == TTiming::Midway) {
      TStandInFiles::Write(file, data, limit / 2);
      Strike();
    }
    const std::size_t written = TStandInFiles::Write(file, data, limit);
    if (DiskSpace != std::numeric_limits<std::size_t>::max()) DiskSpace -= written;
    if (hit) Strike();
    return written;
  }
  void FlushToDisk(platform::TFileHandle file) override {
    Fail(TFault::FlushToDisk);
    Counted("flush", [&] {
      TStandInFiles::FlushToDisk(file);
      return 0;
    });
    Log.emplace_back("flush");
  }
  // A load's handle is no step of the flush.
  void Close(platform::TFileHandle file) override {
    if (file == Lock) {
      Log.emplace_back("unlock");
      Lock = 0;
    } else if (file == Temp) {
      Log.emplace_back("close");
      Temp = 0;
    }
    TStandInFiles::Close(file);
  }
  void CopyAttributes(platform::TFileHandle from, const std::u16string& to) override {
    Fail(TFault::CopyAttributes);
    Counted("attributes", [&] {
      TStandInFiles::CopyAttributes(from, to);
      return 0;
    });
    Log.emplace_back("attributes");
  }
  void Replace(const std::u16string& from, const std::u16string& to, bool replace) override {
    Fail(TFault::Replace);
    Counted("replace", [&] {
      TStandInFiles::Replace(from, to, replace);
      return 0;
    });
    Log.emplace_back("replace");
  }
};

class TFaultyPlatform : public platform::standin::TStandInPlatform {
 public:
  TFaultyFiles Faulty;
  platform::IFileSystem& Files() override { return Faulty; }
};

// A settings test whose file operations go through TFaultyFiles.
class TFaultyIniTest : public TIniTest {
 protected:
  void SetUp() override {
    TIniTest::SetUp();
    FOuter = &platform::Current();
    platform::SetCurrent(&FPlatform);
  }
  void TearDown() override {
    platform::SetCurrent(FOuter);
    TIniTest::TearDown();
  }
  TFaultyFiles& Files() { return FPlatform.Faulty; }

 private:
  TFaultyPlatform FPlatform;
  platform::TPlatform* FOuter = nullptr;
};

}  // namespace quorvel_test
