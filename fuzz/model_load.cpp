// A model table loaded from an arbitrary licence section: a clear error, or rows in unit
// order within the fields' limits; a save of them loads again, and a second save changes
// nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "FuzzPlatform.h"
#include "app/uMain.h"
#include "platform/Exception.h"

namespace app {
// The store's private methods, for this target only.
struct TModelStoreAccess {
  static void Prepare(TfrmMain& form, const std::u16string& iniPath) {
    form.IniFileName = iniPath;
    form.CreateModelTable();
  }
  static void Load(TfrmMain& form, const std::u16string& licence) { form.LoadModelTable(licence); }
  static void Save(TfrmMain& form, const std::u16string& licence) { form.SaveModelTable(licence); }
};
}  // namespace app

namespace {

using namespace quorvel_fuzz;

app::TfrmMain& Form() {
  static app::TfrmMain* form = [] {
    TFuzzPlatform::Installed();
    auto* created = new app::TfrmMain;  // lives until the process ends
    created->CreateHandle();
    app::TModelStoreAccess::Prepare(*created, cIniPath);
    return created;
  }();
  return *form;
}

void CheckRows(model::TModelTable& table) {
  FUZZ_CHECK(table.State() == model::TDataSetState::Browse);
  std::int32_t previous = -1;
  table.First();
  while (!table.Eof()) {
    const std::int32_t unit = table.Fields(0).AsInteger();
    FUZZ_CHECK(unit >= 0 && unit <= 65535 && unit >= previous);
    FUZZ_CHECK(table.Fields(1).AsString().size() <= 32 && table.Fields(2).AsString().size() <= 32);
    previous = unit;
    table.Next();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  app::TfrmMain& form = Form();
  const std::u16string licence = u"LIC-7";
  os.Memory.Files.clear();
  os.Memory.Files[cIniPath] = "[main]\r\nlicense=LIC-7\r\n[LIC-7]\r\n" +
                              std::string(reinterpret_cast<const char*>(data), size);
  try {
    app::TModelStoreAccess::Load(form, licence);
  } catch (const platform::Exception&) {
    // A bad unit key or a file that is no UTF-8: the table is not used; the next load empties it.
    FUZZ_CHECK(form.CurrentIni() == nullptr);
    return 0;
  }
  FUZZ_CHECK(form.CurrentIni() == nullptr);
  CheckRows(form.cdsModel);

  // The first save may still shorten values (a cut that ends in a blank); from then on a
  // load and a save give back the same file.
  app::TModelStoreAccess::Save(form, licence);
  app::TModelStoreAccess::Load(form, licence);  // what a save writes always loads
  CheckRows(form.cdsModel);
  app::TModelStoreAccess::Save(form, licence);
  const std::string second = os.Memory.Files[cIniPath];
  app::TModelStoreAccess::Load(form, licence);
  app::TModelStoreAccess::Save(form, licence);
  FUZZ_CHECK(os.Memory.Files[cIniPath] == second);
  FUZZ_CHECK(!os.Memory.HasTemporaryFile() && os.Memory.OpenHandles() == 0);
  return 0;
}
