// A model table loaded from an arbitrary licence section: a clear error, or rows in unit
// order within the fields' limits; a save of them loads again, and a second save changes
// nothing.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "FuzzPlatform.h"
#include "ReferenceIni.h"
#include "app/uMain.h"
#include "model/ModelErrors.h"
#include "platform/Exception.h"
#include "settings/IniInteger.h"

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

struct TRow {
  std::int32_t Unit;
  std::u16string Model, Comment;
  auto operator<=>(const TRow&) const = default;
};

// The load written out step by step: classify the lines, then one row per unit line with the
// first model of its key and the first comment of its comment key.
struct TReferenceLoad {
  std::vector<TRow> Rows;  // sorted
  bool Failed = false;
  std::u16string Message;
};

// A field's 32 units, or 31 where the 32nd begins a surrogate pair that goes on after it.
std::u16string FirstUnits(std::u16string_view text) {
  std::size_t count = std::min<std::size_t>(text.size(), 32);
  if (count == 32 && text.size() > 32 && (text[31] & 0xFC00) == 0xD800 && (text[32] & 0xFC00) == 0xDC00) --count;
  return std::u16string(text.substr(0, count));
}

std::u16string_view KeyOf(std::u16string_view line) {
  const std::size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(0, equals);
}
std::u16string_view ValueOf(std::u16string_view line) {
  const std::size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(equals + 1);
}
TReferenceLoad ReferenceLoad(const std::vector<std::u16string>& lines) {
  // Each line's key in upper case, worked out once: a section can hold thousands of lines.
  struct TKeyed {
    std::u16string_view Line;
    std::u16string UpperKey;
  };
  std::vector<TKeyed> units, comments;
  for (const std::u16string& line : lines) {
    const std::u16string_view prefix = KeyOf(line).substr(0, 4);
    if (prefix == u"unit") units.push_back({line, RefUpper(std::u16string(KeyOf(line)))});
    else if (prefix == u"comm") comments.push_back({line, RefUpper(std::u16string(KeyOf(line)))});
  }
  // The first line of each key, as a look-up finds it.
  const auto firstOf = [](const std::vector<TKeyed>& keyed) {
    std::map<std::u16string, std::u16string_view> first;
    for (const TKeyed& line : keyed) first.emplace(line.UpperKey, ValueOf(line.Line));
    return first;
  };
  const std::map<std::u16string, std::u16string_view> models = firstOf(units), commentsByKey = firstOf(comments);
  TReferenceLoad result;
  for (const TKeyed& line : units) {
    const std::u16string_view key = KeyOf(line.Line);
    const std::u16string_view model = models.at(line.UpperKey);
    // Every "unit" in the key, in any case, becomes "comment". Upper-casing maps unit for unit,
    // so the upper key shows where they are.
    std::u16string commentKey;
    for (std::size_t i = 0; i < key.size();) {
      if (std::u16string_view(line.UpperKey).substr(i, 4) == u"UNIT") {
        commentKey += u"COMMENT";
        i += 4;
      } else {
        commentKey += line.UpperKey[i++];
      }
    }
    const auto comment = commentsByKey.find(commentKey);
    const std::u16string_view number = key.substr(4, 256);
    std::int32_t unit = 0;
    if (!settings::TryParseIniInteger(number, unit)) {
      result.Failed = true;
      result.Message = platform::Format(model::cNotAnInteger, {number});
      break;
    }
    if (unit < 0 || unit > 65535) {
      result.Failed = true;
      result.Message = platform::Format(model::cOutOfRange, {static_cast<double>(unit), u"UnitNo", 0.0, 65535.0});
      break;
    }
    const std::u16string_view commentText = comment == commentsByKey.end() ? std::u16string_view() : comment->second;
    result.Rows.push_back({unit, FirstUnits(model), FirstUnits(commentText)});
  }
  std::sort(result.Rows.begin(), result.Rows.end());
  return result;
}

std::vector<TRow> RowsOf(model::TModelTable& table) {
  std::vector<TRow> rows;
  table.First();
  while (!table.Eof()) {
    rows.push_back({table.Fields(0).AsInteger(), table.Fields(1).AsString(), table.Fields(2).AsString()});
    table.Next();
  }
  std::sort(rows.begin(), rows.end());
  return rows;
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
  // What one input leaves goes with it, so that each run frees as many blocks as it takes and
  // the fuzzer need not run the input again to look for a leak.
  struct TRelease {
    TFuzzPlatform& Os;
    app::TfrmMain& Form;
    ~TRelease() {
      if (Form.cdsModel.Active()) Form.cdsModel.EmptyDataSet();
      Os.Memory.Files.clear();
    }
  } release{os, form};
  os.Memory.Files.clear();
  os.Memory.Files[cIniPath] =
      "[main]\r\nlicense=LIC-7\r\n[LIC-7]\r\n" + std::string(reinterpret_cast<const char*>(data), size);
  const std::string& file = os.Memory.Files[cIniPath];
  std::u16string decoded;
  const bool utf8 = platform::TryFromUtf8(file, decoded);
  TReferenceLoad expected;
  if (utf8) {
    const std::vector<TRefSection> sections = RefParse(file);
    const TRefSection* section = RefFindSection(sections, licence);
    expected = ReferenceLoad(section ? RefSectionValues(*section) : std::vector<std::u16string>{});
  }
  try {
    app::TModelStoreAccess::Load(form, licence);
    FUZZ_CHECK(utf8 && !expected.Failed);
  } catch (const platform::Exception& error) {
    // A bad unit key or a file that is no UTF-8: the table is not used; the next load empties it.
    FUZZ_CHECK(form.CurrentIni() == nullptr);
    FUZZ_CHECK(!utf8 || (expected.Failed && error.Message() == expected.Message));
    // The rows of the unit lines above the bad one are there; the bad one's row never is.
    if (utf8) FUZZ_CHECK(RowsOf(form.cdsModel) == expected.Rows);
    return 0;
  }
  FUZZ_CHECK(form.CurrentIni() == nullptr);
  CheckRows(form.cdsModel);
  FUZZ_CHECK(RowsOf(form.cdsModel) == expected.Rows);

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
