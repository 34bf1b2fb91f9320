// The model table's load and save: a licence of 65,535 units, each with a model and a
// comment, in a settings file that also holds 1,000 other licences.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchTargets.h"
#include "app/uMain.h"
#include "platform/Text.h"
#include "platform/standin/StandIn.h"
#include "settings/IniFile.h"

namespace app {

struct TModelStoreAccess {
  static void Load(TfrmMain& form, const std::u16string& licence) { form.LoadModelTable(licence); }
  static void Save(TfrmMain& form, const std::u16string& licence) { form.SaveModelTable(licence); }
};

}  // namespace app

namespace {

constexpr int cUnits = 65535;
constexpr int cOtherLicences = 1000;
constexpr int cOtherUnits = 20;
const std::u16string cLicence = u"LIC-BIG";

// The big licence stands among the others; `reversed` lists its units from the highest down.
std::string SettingsFile(bool reversed) {
  std::string text = "\xEF\xBB\xBF[main]\r\nlicense=LIC-BIG\r\n\r\n";
  auto other = [&](int licence) {
    text += "[LIC-" + std::to_string(licence) + "]\r\n";
    for (int unit = 1; unit <= cOtherUnits; ++unit) {
      const std::string n = std::to_string(unit);
      text += "unit" + n + "=XR-" + n + "\r\ncomment" + n + "=desk " + n + "\r\n";
    }
    text += "\r\n";
  };
  for (int licence = 0; licence < cOtherLicences / 2; ++licence) other(licence);
  text += "[LIC-BIG]\r\n";
  for (int i = 1; i <= cUnits; ++i) {
    const std::string n = std::to_string(reversed ? cUnits + 1 - i : i);
    text += "unit" + n + "=MODEL-" + n + "-ABCDEFGHIJKLMNOP\r\ncomment" + n + "=comment of unit " + n + "\r\n";
  }
  text += "\r\n";
  for (int licence = cOtherLicences / 2; licence < cOtherLicences; ++licence) other(licence);
  return text;
}

// The main window in a folder of its own with the settings file written there.
class TModelFixture {
 public:
  explicit TModelFixture(bool reversed)
      : FDir(std::filesystem::current_path() / (reversed ? "model-reversed" : "model")) {
    std::filesystem::create_directories(FDir);
    std::ofstream(FDir / "Halvorn.ini", std::ios::binary) << SettingsFile(reversed);
    const std::filesystem::path oldDir = std::filesystem::current_path();
    std::filesystem::current_path(FDir);
    Form = std::make_unique<app::TfrmMain>();
    app::frmMain = Form.get();
    Form->CreateHandle();
    Form->Guarded([this] { Form->FormCreate(); });
    std::filesystem::current_path(oldDir);
  }
  ~TModelFixture() {
    Form.reset();
    app::frmMain = nullptr;
    std::filesystem::remove_all(FDir);
  }
  bool Failed() const { return !platform::standin::StandIn().DialogsImpl.Errors.empty(); }

  std::unique_ptr<app::TfrmMain> Form;

 private:
  std::filesystem::path FDir;
};

void Load(benchmark::State& state, bool reversed) {
  TModelFixture fixture(reversed);
  for (auto _ : state) app::TModelStoreAccess::Load(*fixture.Form, cLicence);
  model::TModelTable& table = fixture.Form->cdsModel;
  if (table.RecordCount() != cUnits || table.FieldByName(u"UnitNo").AsInteger() != 1 ||
      table.FieldByName(u"Comment").AsString() != u"comment of unit 1")
    state.SkipWithError("the table does not hold the licence's units");
}

void Save(benchmark::State& state) {
  TModelFixture fixture(false);
  app::TModelStoreAccess::Load(*fixture.Form, cLicence);
  for (auto _ : state) app::TModelStoreAccess::Save(*fixture.Form, cLicence);
  // The section moved to the end, with every unit.
  std::ifstream in(std::filesystem::path(platform::ToUtf8(fixture.Form->GetIniFileName())), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string tail = "unit65535=MODEL-65535-ABCDEFGHIJKLMNOP\r\ncomment65535=comment of unit 65535\r\n\r\n";
  if (bytes.size() < tail.size() || bytes.compare(bytes.size() - tail.size(), tail.size(), tail) != 0)
    state.SkipWithError("the saved section is not at the end of the file");
}

// The settings object's share of each: the same load and section read, or the same writes
// and flush, with the table left out.
void SettingsRead(benchmark::State& state) {
  TModelFixture fixture(false);
  std::vector<std::u16string> lines;
  for (auto _ : state) {
    settings::TMemIniFile ini(fixture.Form->GetIniFileName());
    ini.ReadSectionValues(cLicence, lines);
  }
  if (lines.size() != 2 * cUnits) state.SkipWithError("the section was not read");
}

void SettingsWrite(benchmark::State& state) {
  TModelFixture fixture(false);
  std::vector<std::pair<std::u16string, std::u16string>> entries;
  for (int unit = 1; unit <= cUnits; ++unit) {
    const std::u16string n = platform::IntToStr(unit);
    entries.emplace_back(u"unit" + n, u"MODEL-" + n + u"-ABCDEFGHIJKLMNOP");
    entries.emplace_back(u"comment" + n, u"comment of unit " + n);
  }
  for (auto _ : state) {
    settings::TMemIniFile ini(fixture.Form->GetIniFileName());
    ini.EraseSection(cLicence);
    for (const auto& [name, value] : entries) ini.WriteString(cLicence, name, value);
    ini.UpdateFile();
  }
}

BENCHMARK_CAPTURE(Load, 65535 - units, false)->Name("model/load/65535-units")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, 65535 - units - reversed, true)
    ->Name("model/load/65535-units-reversed")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Name("model/save/65535-units")->Unit(benchmark::kMillisecond);
BENCHMARK(SettingsRead)->Name("model/load/65535-units/settings-part")->Unit(benchmark::kMillisecond);
BENCHMARK(SettingsWrite)->Name("model/save/65535-units/settings-part")->Unit(benchmark::kMillisecond);

const bool cSummary = bench::AddSummary([](const bench::TResults& results) {
  std::printf("Model table, a licence of 65,535 units among 1,000 others:\n");
  bench::PrintTarget(results, "model/load/65535-units", "LoadModelTable", 50);
  bench::PrintTarget(results, "model/load/65535-units-reversed", "LoadModelTable, units listed from the highest", 50);
  bench::PrintTarget(results, "model/save/65535-units", "SaveModelTable", 50);
  std::printf("  of which the settings object alone (the same reads, or the same writes and flush):\n");
  bench::PrintTarget(results, "model/load/65535-units/settings-part", "load and ReadSectionValues", 50);
  bench::PrintTarget(results, "model/save/65535-units/settings-part", "load, 131,070 WriteString and UpdateFile", 50);
});

}  // namespace
