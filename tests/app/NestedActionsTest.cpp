// Every action started from inside a converter wait, in random orders and depths: each still
// releases what it created, hands the settings object back, and a close inside a wait ends
// the program once the outer action returns.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "MemoryFiles.h"
#include "app/uMain.h"
#include "platform/Text.h"
#include "platform/standin/StandIn.h"
#include "settings/IniFile.h"

namespace quorvel_test {
namespace {

using platform::THandle;

class TNestedPlatform : public platform::standin::TStandInPlatform {
 public:
  TMemoryFiles Memory;
  platform::IFileSystem& Files() override { return Memory; }
};

const std::u16string cIni = u"C:\\work\\Halvorn.ini";
const std::u16string cExe = u"C:\\work\\Halvorn.exe";
// Documents as a user picks or types them: blanks, non-ASCII, a missing one, a folder-less name.
const std::u16string cDocuments[] = {u"C:\\docs\\a b.zip", u"C:\\docs\\日本語 ü\\申請.xml", u"C:\\missing\\x.zip",
                                     u"D:\\a.zip", u"b.xml"};

enum class TAction { Refer, Browse, ShowModel, Type, Check, Close };
// What a user does while a program starts; a close is rarer, since it ends the run.
constexpr TAction cActions[] = {TAction::Refer, TAction::Browse, TAction::ShowModel, TAction::Type,
                                TAction::Check, TAction::Refer,  TAction::Browse,    TAction::ShowModel,
                                TAction::Type,  TAction::Check,  TAction::Close};

// One random run of the program: up to cMaxSequences sequences, each an outer action with the
// actions nested in its waits up to a depth; then the window is closed, unless an action
// closed it already, which ends the run early.
class TProgramRun {
 public:
  static constexpr int cMaxDepth = 4;
  static constexpr int cMaxSequences = 10;

  explicit TProgramRun(unsigned seed) : FRandom(seed) {
    FOuter = &platform::Current();
    platform::SetCurrent(&FOs);
    FOs.Memory.Files[cExe] = "converter";
    FOs.Memory.Files[cDocuments[0]] = "doc";
    FOs.Memory.Files[cDocuments[1]] = "doc";
    FOs.Memory.Files[cDocuments[3]] = "doc";
    FOs.Memory.Files[cIni] =
        "[main]\r\nfilename=C:\\docs\\a b.zip\r\nlicense=LIC-1\r\napplication=App\r\ncallsign=CS\r\n"
        "[LIC-1]\r\nunit1=A\r\ncomment1=x\r\nunit2=B\r\n";
    FOs.ShellImpl.OnExecute = [this](const platform::TShellRequest& request) { return Execute(request); };
    FOs.ShellImpl.OnWait = [this](THandle process, std::uint32_t) { return Wait(process); };
    FOs.AppImpl.OnProcessMessages = [this] { Dispatch(); };
    FOs.DialogsImpl.OnOpenFile = [this](const platform::TOpenDialogRequest&, std::u16string& chosen) {
      if (Chance(5)) return false;
      chosen = Pick(cDocuments);
      return true;
    };
    FOs.WidgetsImpl.OnShowModal = [this](platform::TForm& dialog) { EditModelTable(dialog); };
  }
  ~TProgramRun() {
    FForm.reset();
    app::frmMain = nullptr;
    platform::SetCurrent(FOuter);
  }
  TProgramRun(const TProgramRun&) = delete;
  TProgramRun& operator=(const TProgramRun&) = delete;

  // Runs at most `limit` sequences; returns how many ran.
  int Run(int limit) {
    FForm = std::make_unique<app::TfrmMain>();
    app::frmMain = FForm.get();
    FForm->CreateHandle();
    FForm->Guarded([this] { FForm->FormCreate(); });
    FOs.AppImpl.Run(*FForm);
    int sequences = 0;
    for (int count = std::min(limit, Between(1, cMaxSequences)); sequences < count && !FForm->Closed(); ++sequences) {
      // The outer actions are the ones that wait; the others never reach a wait themselves.
      Perform(Chance(2) ? TAction::Refer : TAction::Browse);
      CheckReleased();
    }
    if (!FForm->Closed()) Perform(TAction::Close);
    CheckEnd();
    return sequences;
  }

  int Nested() const { return FNested; }
  int MaxDepthReached() const { return FMaxDepth; }
  bool ClosedInWait() const { return FClosedInWait; }

 private:
  bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(FRandom) == 1; }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(FRandom); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(FRandom)];
  }

  platform::TShellResult Execute(const platform::TShellRequest& request) {
    if (Chance(12)) return {2, 0};  // the shell refused
    if (request.File == cExe) {
      // The converter writes the PDF the command line names and describes the document.
      const std::size_t open = request.Parameters.find(u"-o \"") + 4;
      const std::u16string pdf = request.Parameters.substr(open, request.Parameters.find(u'"', open) - open);
      if (!Chance(6)) FOs.Memory.Files[pdf] = "%PDF";
      if (Chance(3)) {
        std::string& ini = FOs.Memory.Files[cIni];
        ini[ini.find("license=LIC-") + 12] = static_cast<char>('0' + Between(1, 3));
      }
    }
    // No handle when the shell handed the file to a program already running.
    const THandle process = Chance(8) ? 0 : ++FNextProcess;
    if (process) FStarted.push_back(process);
    return {42, process};
  }

  std::uint32_t Wait(THandle process) {
    if (!process) return platform::cWaitFailed;
    EXPECT_EQ(std::count(FOs.ShellImpl.ClosedHandles.begin(), FOs.ShellImpl.ClosedHandles.end(), process), 0)
        << "a wait on a closed process handle";
    return Chance(3) ? 0 : platform::cWaitTimeout;
  }

  // The messages that wait while a started program gets ready: the user acts, or not.
  void Dispatch() {
    CheckHeldObject();
    if (FForm->Closed() || FDepth >= cMaxDepth || Chance(2)) return;
    ++FNested;
    ++FDepth;
    FMaxDepth = std::max(FMaxDepth, FDepth);
    settings::TMemIniFile* held = FForm->CurrentIni();
    const TAction action = Pick(cActions);
    if (action == TAction::Close) FClosedInWait = true;
    Perform(action);
    EXPECT_EQ(FForm->CurrentIni(), held) << "a nested action did not hand the outer settings object back";
    CheckHeldObject();
    --FDepth;
  }

  // The object the interrupted operation holds must still be alive: a read of it reaches
  // freed memory otherwise, which the sanitizer reports.
  void CheckHeldObject() {
    if (settings::TMemIniFile* held = FForm->CurrentIni()) held->ReadString(u"main", u"license", u"");
  }

  void Perform(TAction action) {
    app::TfrmMain& form = *FForm;
    switch (action) {
      case TAction::Refer: form.actRefer.Execute(); break;
      case TAction::Browse: form.actBrowse.Execute(); break;
      case TAction::ShowModel: form.actShowModel.Execute(); break;
      case TAction::Type:
        form.edtFileName.UserChanged(Chance(3) ? Pick(cDocuments) : form.edtFileName.Text() + u"x");
        break;
      case TAction::Check: form.cbxPDF.UserClick(); break;
      case TAction::Close:
        FClosedName = form.DFileName();
        form.UserClose();
        FOs.AppImpl.Terminate();  // what the message loop does when the main window goes
        break;
    }
  }

  // The user edits the table in the dialog and leaves it with OK or Cancel.
  void EditModelTable(platform::TForm& dialog) {
    ++FDialogs;
    model::TModelTable& table = FForm->cdsModel;
    for (int edits = Between(0, 3); edits > 0; --edits) {
      if (Chance(3) && !table.IsEmpty()) {
        table.Delete();
      } else {
        table.Append();
        table.FieldByName(u"UnitNo").SetAsInteger(Between(0, 70));
        table.FieldByName(u"Model").SetAsString(u"M" + std::u16string(Between(0, 40), u'm'));
        table.Post();
      }
    }
    dialog.ModalResult = Chance(2) ? 1 : 2;
    if (dialog.ModalResult == 1) ++FSaves;
  }

  // After an outer action: everything it and the actions nested in it created is released.
  void CheckReleased() {
    EXPECT_EQ(FForm->CurrentIni(), nullptr) << "an action kept its settings object";
    EXPECT_TRUE(FOs.DialogsImpl.Errors.empty()) << platform::ToUtf8(FOs.DialogsImpl.Errors.front().Text);
    // Every process handle closed once, and only those the shell handed out.
    std::vector<THandle> closed = FOs.ShellImpl.ClosedHandles;
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ(closed, FStarted);
    EXPECT_EQ(FOs.Memory.OpenHandles(), 0u) << "a file handle was left open";
    EXPECT_FALSE(FOs.Memory.HasTemporaryFile());
    EXPECT_EQ(FOs.WidgetsImpl.Forms, std::vector<platform::TForm*>{FForm.get()}) << "a dialog was not freed";
  }

  void CheckEnd() {
    app::TfrmMain& form = *FForm;
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(FOs.AppImpl.Terminated()) << "the message loop would not end";
    CheckReleased();
    // One flush per saved table and one for the close, which ran once.
    EXPECT_EQ(FOs.Memory.Replaces, FSaves + 1);
    settings::TMemIniFile ini(cIni);
    EXPECT_EQ(ini.ReadString(u"main", u"filename", u"(none)"), FClosedName) << "the close wrote its state";
    FForm.reset();
    app::frmMain = nullptr;
    EXPECT_TRUE(FOs.WidgetsImpl.Forms.empty());
  }

  TNestedPlatform FOs;
  platform::TPlatform* FOuter = nullptr;
  std::mt19937 FRandom;
  std::unique_ptr<app::TfrmMain> FForm;
  THandle FNextProcess = 0x1000;
  std::vector<THandle> FStarted;  // ascending, as handed out
  int FDepth = 0;
  int FMaxDepth = 0;
  int FNested = 0;
  int FDialogs = 0;
  int FSaves = 0;
  bool FClosedInWait = false;
  std::u16string FClosedName;
};

TEST(NestedActions, TenThousandRandomSequencesReleaseEverythingAndEndCleanly) {
  constexpr int cSequences = 10000;
  int sequences = 0, runs = 0, nested = 0, deepest = 0, closedInWait = 0;
  for (unsigned seed = 1; sequences < cSequences; ++seed) {
    TProgramRun run(seed);
    sequences += run.Run(cSequences - sequences);
    ++runs;
    nested += run.Nested();
    deepest = std::max(deepest, run.MaxDepthReached());
    closedInWait += run.ClosedInWait() ? 1 : 0;
    if (testing::Test::HasFailure()) {
      ADD_FAILURE() << "program run " << seed;
      break;
    }
  }
  // The random runs must reach what they are meant to: nesting to full depth and closes inside waits.
  EXPECT_EQ(deepest, TProgramRun::cMaxDepth);
  EXPECT_GT(closedInWait, runs / 10);
  EXPECT_GT(nested, cSequences);
  std::printf(
      "[  nested  ] %d sequences in %d program runs, %d nested actions, depth up to %d, %d closed inside a wait\n",
      sequences, runs, nested, deepest, closedInWait);
}

}  // namespace
}  // namespace quorvel_test
