// One keystroke in the file-name box: the whole document setter, settings-file loads
// included, on the stand-in backend with a large Halvorn.ini in the current directory.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "BenchTargets.h"
#include "IniCorpus.h"
#include "app/uMain.h"
#include "platform/standin/StandIn.h"

namespace {

using bench::CorpusFile;

// The process start as on Windows, with Halvorn.ini found in the current directory.
class TMainWindow {
 public:
  explicit TMainWindow(const std::string& dir) {
    const std::filesystem::path oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    Form = std::make_unique<app::TfrmMain>();
    app::frmMain = Form.get();
    Form->CreateHandle();
    Form->Guarded([this] { Form->FormCreate(); });
    platform::standin::StandIn().AppImpl.Run(*Form);
    std::filesystem::current_path(oldDir);
  }
  ~TMainWindow() {
    Form.reset();
    app::frmMain = nullptr;
  }
  void Type(const std::u16string& text) { Form->edtFileName.UserChanged(text); }
  bool Failed() const { return !platform::standin::StandIn().DialogsImpl.Errors.empty(); }

  std::unique_ptr<app::TfrmMain> Form;
};

// A keystroke that makes the text a document the settings file does not describe: one load.
void OtherDocument(benchmark::State& state, std::size_t megabytes) {
  TMainWindow window(CorpusFile(megabytes).Dir);
  const std::u16string texts[] = {u"D:\\apps\\b.zi", u"D:\\apps\\b.zip"};  // typing, then backspace
  std::size_t next = 0;
  for (auto _ : state) {
    window.Type(texts[next]);
    next ^= 1;
  }
  if (window.Failed()) state.SkipWithError("the document setter raised an error");
  if (window.Form->DFileName() != texts[next ^ 1]) state.SkipWithError("the keystroke did not set the document");
}

// The keystroke that completes the document the settings file describes: the setter's load,
// then the licence setter's load.
void DescribedDocument(benchmark::State& state, std::size_t megabytes) {
  TMainWindow window(CorpusFile(megabytes).Dir);
  for (auto _ : state) {
    state.PauseTiming();
    window.Type(bench::cCorpusDocument.substr(0, bench::cCorpusDocument.size() - 1));
    state.ResumeTiming();
    window.Type(bench::cCorpusDocument);
  }
  if (window.Failed()) state.SkipWithError("the document setter raised an error");
  if (window.Form->DLicense() != bench::cCorpusLicence || window.Form->edtApplication.Text() != u"申請書 第7号")
    state.SkipWithError("the licence and application were not shown");
}

const bool cRegistered = [] {
  for (std::size_t megabytes : {1, 10}) {
    const std::string mb = std::to_string(megabytes) + "MB";
    benchmark::RegisterBenchmark(("keystroke/other-document/" + mb).c_str(), OtherDocument, megabytes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("keystroke/described-document/" + mb).c_str(), DescribedDocument, megabytes)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

const bool cSummary = bench::AddSummary([](const bench::TResults& results) {
  std::printf("One keystroke in the file-name box, 1 MB settings file:\n");
  bench::PrintTarget(results, "keystroke/other-document/1MB", "other document (one load)", 16);
  bench::PrintTarget(results, "keystroke/described-document/1MB", "described document (two loads)", 16);
});

}  // namespace
