// The model table of a licence and its section of the settings file, in both directions.
#include <string_view>
#include <vector>

#include "app/uMain.h"
#include "model/ModelErrors.h"
#include "model/ModelSection.h"
#include "platform/Text.h"

namespace app {

namespace {

const std::u16string cUnitNo = u"UnitNo";
const std::u16string cModel = u"Model";
const std::u16string cComment = u"Comment";
constexpr std::u16string_view cUnitPrefix = u"unit";
constexpr std::u16string_view cCommentPrefix = u"comm";

// The text before the line's first "="; a line without one has an empty key.
std::u16string_view KeyOf(std::u16string_view line) {
  std::size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(0, equals);
}

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
  std::vector<std::size_t> keys1, keys2;  // each line's key length, found once
  for (std::u16string& line : SL) {
    const std::u16string_view key = KeyOf(line);
    std::u16string_view prefix = key.substr(0, 4);
    if (prefix == cUnitPrefix) {
      SL1.push_back(std::move(line));
      keys1.push_back(key.size());
    } else if (prefix == cCommentPrefix) {
      SL2.push_back(std::move(line));
      keys2.push_back(key.size());
    }
  }
  SL.clear();  // its lines live on in SL1 and SL2
  model::TField& UnitNo = cdsModel.FieldByName(cUnitNo);
  model::TField& Model = cdsModel.FieldByName(cModel);
  model::TField& Comment = cdsModel.FieldByName(cComment);
  const model::TSectionRows rows = model::PairSection(SL1, keys1, SL2, keys2);
  for (const model::TSectionRow& row : rows.Rows) {
    cdsModel.Append();
    UnitNo.SetAsInteger(row.UnitNo);
    Model.SetAsString(row.Model);
    Comment.SetAsString(row.Comment);
    cdsModel.Post();
  }
  // The entry that ends the load: its row stays pending and untouched.
  if (rows.Stopped) {
    cdsModel.Append();
    if (!rows.StopIsInteger) model::RaiseError(model::cNotAnInteger, {rows.StopText});
    UnitNo.SetAsInteger(rows.StopNumber);  // raises the range error
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
