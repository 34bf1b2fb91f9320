// The model table of a licence and its section of the settings file, in both directions.
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/uMain.h"
#include "model/ModelErrors.h"
#include "platform/Text.h"
#include "settings/IniInteger.h"
#include "settings/UnicodeCase.h"

namespace app {

namespace {

const std::u16string cUnitNo = u"UnitNo";
const std::u16string cModel = u"Model";
const std::u16string cComment = u"Comment";
constexpr std::u16string_view cUnitPrefix = u"unit";
constexpr std::u16string_view cCommentPrefix = u"comm";
constexpr std::size_t cMaxNumberLength = 256;

// The text before the line's first "="; a line without one has an empty key.
std::u16string_view KeyOf(std::u16string_view line) {
  std::size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(0, equals);
}

std::u16string_view ValueOf(std::u16string_view line) {
  std::size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(equals + 1);
}

// Names of the settings file match by their upper-case forms.
std::u16string UpperKey(std::u16string_view key) {
  std::u16string upper(key);
  for (char16_t& c : upper) c = settings::UpperCase(c);
  return upper;
}

// Every "unit", in any letter case, becomes "comment".
std::u16string CommentKeyOf(std::u16string_view unitKey) {
  std::u16string result;
  for (std::size_t i = 0; i < unitKey.size();) {
    bool unit = i + 4 <= unitKey.size();
    for (std::size_t k = 0; unit && k < 4; ++k)
      unit = settings::UpperCase(unitKey[i + k]) == settings::UpperCase(cUnitPrefix[k]);
    if (unit) {
      result += u"comment";
      i += 4;
    } else {
      result += unitKey[i++];
    }
  }
  return result;
}

// The value of the first line of each key, found without scanning the list per look-up.
class TFirstValues {
 public:
  explicit TFirstValues(const std::vector<std::u16string>& lines) {
    FValues.reserve(lines.size());
    for (const std::u16string& line : lines) FValues.emplace(UpperKey(KeyOf(line)), ValueOf(line));
  }
  std::u16string_view Find(std::u16string_view key) const {
    auto found = FValues.find(UpperKey(key));
    return found == FValues.end() ? std::u16string_view() : found->second;
  }

 private:
  std::unordered_map<std::u16string, std::u16string_view> FValues;  // views into the lines
};

}  // namespace

void TfrmMain::CreateModelTable() {
  cdsModel.Close();
  cdsModel.FieldDefs.clear();
  cdsModel.FieldDefs.push_back({cUnitNo, model::TFieldType::Word, 0, false});
  cdsModel.FieldDefs.push_back({cModel, model::TFieldType::WideString, 32, false});
  cdsModel.FieldDefs.push_back({cComment, model::TFieldType::WideString, 32, false});
  cdsModel.IndexDefs.push_back({u"UnitNo_IDX", cUnitNo, true, false, false});
  cdsModel.IndexName = u"UnitNo_IDX";
  cdsModel.CreateDataSet();
  cdsModel.Close();
  cdsModel.Open();
}

void TfrmMain::LoadModelTable(const std::u16string& aStLicense) {
  TIniScope ini(*this);
  std::vector<std::u16string> SL, SL1, SL2;
  if (!cdsModel.Active()) cdsModel.Open();
  cdsModel.EmptyDataSet();
  ini->ReadSectionValues(aStLicense, SL);
  for (const std::u16string& line : SL) {
    std::u16string_view prefix = KeyOf(line).substr(0, 4);
    if (prefix == cUnitPrefix) {
      SL1.push_back(line);
    } else if (prefix == cCommentPrefix) {
      SL2.push_back(line);
    }
  }
  const TFirstValues models(SL1);
  const TFirstValues comments(SL2);
  model::TField& UnitNo = cdsModel.FieldByName(cUnitNo);
  model::TField& Model = cdsModel.FieldByName(cModel);
  model::TField& Comment = cdsModel.FieldByName(cComment);
  for (const std::u16string& line : SL1) {
    std::u16string_view wUnitNo = KeyOf(line);
    std::u16string wModel(models.Find(wUnitNo));
    std::u16string wComment(comments.Find(CommentKeyOf(wUnitNo)));
    cdsModel.Append();
    std::u16string_view wNumber = wUnitNo.substr(cUnitPrefix.size(), cMaxNumberLength);
    std::int32_t LUnitNo = 0;
    if (!settings::TryParseIniInteger(wNumber, LUnitNo)) model::RaiseError(model::cNotAnInteger, {wNumber});
    UnitNo.SetAsInteger(LUnitNo);
    Model.SetAsString(wModel);
    Comment.SetAsString(wComment);
    cdsModel.Post();
  }
  UnitNo.Alignment = platform::TAlignment::Center;
  cdsModel.Fields(0).DisplayWidth = 6;
  cdsModel.Fields(1).DisplayWidth = 32;
  cdsModel.Fields(2).DisplayWidth = 32;
  cdsModel.First();
}

// The file is flushed only after the whole section was written: a save that fails part-way
// releases its settings object unflushed, and the file keeps the table it had.
void TfrmMain::SaveModelTable(const std::u16string& aStLicense) {
  TIniScope ini(*this);
  if (!cdsModel.Active()) cdsModel.Open();
  ini->EraseSection(aStLicense);
  cdsModel.First();
  model::TField& UnitNo = cdsModel.FieldByName(cUnitNo);
  model::TField& Model = cdsModel.FieldByName(cModel);
  model::TField& Comment = cdsModel.FieldByName(cComment);
  while (!cdsModel.Eof()) {
    std::int32_t wUnitNo = UnitNo.AsInteger();
    std::u16string wNumber = platform::IntToStr(wUnitNo);
    std::u16string wModel = Model.AsString();
    std::u16string wComment = Comment.AsString();
    if (wUnitNo > 0) {
      ini->WriteString(aStLicense, u"unit" + wNumber, wModel);
      if (!wComment.empty()) ini->WriteString(aStLicense, u"comment" + wNumber, wComment);
    }
    cdsModel.Next();
  }
  ini->UpdateFile();
}

}  // namespace app
