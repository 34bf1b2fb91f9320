// Faults injected into every step of a flush: whatever fails, and wherever the process dies,
// the settings file afterwards holds either its old bytes or the whole new content.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "FaultyFiles.h"
#include "IniTestFixture.h"
#include "settings/IniErrors.h"

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

// Where the settings file lives before the flush; Dangling is a link to a file not there yet.
enum class TPlace { NoFile, File, Link, Dangling };
constexpr TPlace cPlaces[] = {TPlace::NoFile, TPlace::File, TPlace::Link, TPlace::Dangling};
const char* Name(TPlace place) {
  switch (place) {
    case TPlace::NoFile: return "first flush";
    case TPlace::File: return "existing file";
    case TPlace::Link: return "through a link";
    case TPlace::Dangling: return "first flush through a link";
  }
  return "?";
}

const char* Name(TTiming timing) {
  switch (timing) {
    case TTiming::Before: return "before";
    case TTiming::Midway: return "midway";
    case TTiming::After: return "after";
  }
  return "?";
}

// Whether an operation can report an error after it acted. Opening the lock or creating the
// temporary file either fails or hands back its handle, so those two fail only before.
bool CanFailAfterActing(const std::string& call) { return call != "resolve" && call != "lock" && call != "temp"; }

// What a flush attempt left behind.
struct TOutcome {
  bool Old = false;   // the file's previous bytes, or still no file
  bool New = false;   // the complete new content
  int TempFiles = 0;  // names in the folder that are not the settings file
};

class IniFault : public TFaultyIniTest {
 protected:
  static constexpr char cOld[] = "; old\n[main]\ntop=1\nleft=2\n";
  const std::string cNew = cBom + "[main]\r\ntop=999\r\nleft=2\r\n\r\n";
  const std::string cFirst = cBom + "[main]\r\ntop=999\r\n\r\n";

  // The file the flush writes: the link's target for a link.
  std::filesystem::path Real() const { return FPlace >= TPlace::Link ? Dir / "real" / "target.ini" : Path; }
  bool First() const { return FPlace == TPlace::NoFile || FPlace == TPlace::Dangling; }

  void Prepare(TPlace place) {
    FPlace = place;
    Files().ResetFaults();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(Dir))
      std::filesystem::remove_all(entry.path(), ignored);
    if (place == TPlace::File) WriteIni(cOld);
    if (place >= TPlace::Link) {
      std::filesystem::create_directory(Dir / "real");
      if (place == TPlace::Link) WriteFile(Real(), cOld);
      std::filesystem::create_symlink(Real(), Path);
    }
  }

  const std::string& Expected() const { return First() ? cFirst : cNew; }

  // Loads, changes one value and flushes; true when the flush reported success.
  bool Flush() {
    TMemIniFile ini(IniName());
    ini.WriteString(u"main", u"top", u"999");
    try {
      ini.UpdateFile();
    } catch (const settings::EIniCreateError&) {
      return false;
    }
    return true;
  }

  TOutcome Outcome() const {
    TOutcome outcome;
    const bool exists = std::filesystem::exists(Real());
    const std::string bytes = exists ? ReadFile(Real()) : std::string();
    outcome.Old = First() ? !exists : bytes == cOld;
    outcome.New = exists && bytes == Expected() && (FPlace < TPlace::Link || std::filesystem::is_symlink(Path));
    const std::filesystem::path folder = Real().parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name != Real().filename().string() && name != "real" && name != Path.filename().string()) ++outcome.TempFiles;
    }
    return outcome;
  }

  // The operations a fault-free flush calls, in order.
  std::vector<std::string> CallsOfAFlush(TPlace place) {
    Prepare(place);
    EXPECT_TRUE(Flush());
    return Files().Calls;
  }

  // Runs body in a child process; its exit status, or 128 + the signal that ended it.
  static int InChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  }

  // Figures of a sweep, printed at its end.
  int FaultPoints = 0;
  int Intact = 0;  // the file old or new
  int Clean = 0;   // no temporary file left
  void Count(const TOutcome& outcome) {
    ++FaultPoints;
    if (outcome.Old || outcome.New) ++Intact;
    if (outcome.TempFiles == 0) ++Clean;
  }
  void Report(const char* what) const {
    std::printf("[  faults  ] %s: %d fault points, %d left the file old or new, %d left no temporary file\n", what,
                FaultPoints, Intact, Clean);
  }

 private:
  TPlace FPlace = TPlace::File;
};

TEST_F(IniFault, AFlushCallsTheseOperationsSoTheSweepsCoverEachOfThem) {
  const std::vector<std::string> existing{"resolve", "lock", "temp", "write", "flush", "attributes", "replace"};
  EXPECT_EQ(CallsOfAFlush(TPlace::File), existing);
  EXPECT_EQ(CallsOfAFlush(TPlace::Link), existing);
  // A new file has no attributes to pass on.
  EXPECT_EQ(CallsOfAFlush(TPlace::NoFile),
            (std::vector<std::string>{"resolve", "lock", "temp", "write", "flush", "replace"}));
}

TEST_F(IniFault, EveryFailingCallLeavesTheOldFileOrTheNewAndNoTemporaryFile) {
  for (TPlace place : cPlaces) {
    const std::vector<std::string> calls = CallsOfAFlush(place);
    for (int call = 0; call < static_cast<int>(calls.size()); ++call) {
      for (TTiming timing : {TTiming::Before, TTiming::Midway, TTiming::After}) {
        if (timing == TTiming::Midway && calls[call] != "write") continue;
        if (timing == TTiming::After && !CanFailAfterActing(calls[call])) continue;
        Prepare(place);
        Files().FailAtCall = call;
        Files().Timing = timing;
        const bool flushed = Flush();
        const TOutcome outcome = Outcome();
        Count(outcome);
        const std::string where = std::string(Name(place)) + ", " + calls[call] + " fails " + Name(timing);
        EXPECT_FALSE(flushed) << where << ": the fault is reported";
        EXPECT_EQ(outcome.TempFiles, 0) << where;
        // Only an operation that acted before it failed may have put the new file in place.
        if (timing == TTiming::After && calls[call] == "replace") {
          EXPECT_TRUE(outcome.New) << where;
        } else {
          EXPECT_TRUE(outcome.Old) << where;
        }
      }
    }
  }
  Report("failing calls");
}

TEST_F(IniFault, AFullDiskAtEveryByteLeavesTheOldFile) {
  for (TPlace place : cPlaces) {
    Prepare(place);
    const std::size_t size = Expected().size();
    for (std::size_t space = 0; space <= size; ++space) {
      Prepare(place);
      Files().DiskSpace = space;
      const bool flushed = Flush();
      const TOutcome outcome = Outcome();
      Count(outcome);
      EXPECT_EQ(flushed, space == size) << Name(place) << ", room for " << space << " bytes";
      EXPECT_TRUE(space == size ? outcome.New : outcome.Old) << Name(place) << ", room for " << space << " bytes";
      EXPECT_EQ(outcome.TempFiles, 0) << Name(place) << ", room for " << space << " bytes";
    }
  }
  Report("full disk");
}

TEST_F(IniFault, AFileSystemThatWritesInPiecesStillGetsTheWholeFile) {
  for (std::size_t piece : {1u, 2u, 7u, 4096u}) {
    Prepare(TPlace::File);
    Files().WriteLimit = piece;
    EXPECT_TRUE(Flush()) << piece << " bytes per write";
    EXPECT_TRUE(Outcome().New) << piece << " bytes per write";
  }
}

// The file-size limit of the process stops the write of the temporary file at every size.
TEST_F(IniFault, AFileSizeLimitAtEverySizeLeavesTheOldFileOrTheNew) {
  for (TPlace place : cPlaces) {
    Prepare(place);
    const std::size_t size = Expected().size();
    for (bool signalIgnored : {true, false}) {
      for (std::size_t limit = 0; limit <= size; ++limit) {
        Prepare(place);
        const int status = InChild([&] {
          // By default the process is killed when it exceeds the limit; ignored, the write fails.
          ::signal(SIGXFSZ, signalIgnored ? SIG_IGN : SIG_DFL);
          const rlimit bytes{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
          if (::setrlimit(RLIMIT_FSIZE, &bytes) != 0) return 3;
          return Flush() ? 0 : 1;
        });
        const TOutcome outcome = Outcome();
        Count(outcome);
        const std::string where = std::string(Name(place)) + ", limit " + std::to_string(limit) +
                                  (signalIgnored ? ", SIGXFSZ ignored" : ", SIGXFSZ kills");
        if (limit == size) {
          EXPECT_EQ(status, 0) << where;
          EXPECT_TRUE(outcome.New) << where;
        } else {
          EXPECT_EQ(status, signalIgnored ? 1 : 128 + SIGXFSZ) << where;
          EXPECT_TRUE(outcome.Old) << where;
        }
        // A killed process cannot clean up: its temporary file may stay, the settings file is whole.
        if (signalIgnored) {
          EXPECT_EQ(outcome.TempFiles, 0) << where;
        }
      }
    }
  }
  Report("file-size limit");
}

// The process dies at every step of the flush; the next flush still works.
TEST_F(IniFault, AKillAtEveryStepLeavesTheOldFileOrTheNew) {
  for (TPlace place : cPlaces) {
    const std::vector<std::string> calls = CallsOfAFlush(place);
    for (int call = 0; call < static_cast<int>(calls.size()); ++call) {
      for (TTiming timing : {TTiming::Before, TTiming::Midway, TTiming::After}) {
        if (timing == TTiming::Midway && calls[call] != "write") continue;
        Prepare(place);
        Files().FailAtCall = call;
        Files().Timing = timing;
        Files().OnFault = [] { ::raise(SIGKILL); };
        const int status = InChild([&] { return Flush() ? 0 : 1; });
        const TOutcome outcome = Outcome();
        Count(outcome);
        const std::string where = std::string(Name(place)) + ", killed " + Name(timing) + " " + calls[call];
        EXPECT_EQ(status, 128 + SIGKILL) << where;
        if (timing == TTiming::After && calls[call] == "replace") {
          EXPECT_TRUE(outcome.New) << where;
        } else {
          EXPECT_TRUE(outcome.Old) << where;
        }
        // Only a temporary file that was created and not yet renamed can be left.
        const bool tempExists = call > 2 || (call == 2 && timing == TTiming::After);
        const bool renamed = calls[call] == "replace" && timing == TTiming::After;
        EXPECT_EQ(outcome.TempFiles, tempExists && !renamed ? 1 : 0) << where;

        Files().ResetFaults();
        EXPECT_TRUE(Flush()) << where << ": a leftover temporary file does not stop the next flush";
        EXPECT_TRUE(Outcome().New) << where;
      }
    }
  }
  Report("killed at each step");
}

// Killed at a random moment while it rewrites a larger file again and again.
TEST_F(IniFault, AKillAtARandomMomentLeavesOneWholeVersion) {
  std::mt19937 random(20240611);
  std::string big = "[main]\r\n";
  for (int i = 0; big.size() < (1u << 20); ++i) big += "key" + std::to_string(i) + "=" + std::string(60, 'v') + "\r\n";
  Prepare(TPlace::File);
  WriteIni(cBom + big + "\r\n");
  // The child writes round 1, 2, 3, 4, 1, ... into the same line.
  std::vector<std::string> versions{ReadIni()};
  for (int round = 1; round <= 4; ++round)
    versions.push_back(cBom + big + "round=" + std::to_string(round) + "\r\n\r\n");
  for (int attempt = 0; attempt < 12; ++attempt) {
    WriteIni(versions[0]);
    const pid_t child = ::fork();
    if (child == 0) {
      for (int round = 1;; round = round % 4 + 1) {
        TMemIniFile ini(IniName());
        ini.WriteInteger(u"main", u"round", round);
        ini.UpdateFile();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadIni();
    EXPECT_NE(std::find(versions.begin(), versions.end(), now), versions.end())
        << "attempt " << attempt << ": " << now.size() << " bytes, not one of the versions written";
    for (const std::string& name : Listing(Dir))
      if (name != "Halvorn.ini") std::filesystem::remove(Dir / name);
  }
}

TEST_F(IniFault, AReadOnlyFolderWithoutTheFileCreatesNothing) {
  Prepare(TPlace::NoFile);
  TUnprivileged user(Dir);
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(Flush());
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_all);
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel_test
