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

}  // namespace

void TfrmMain::CreateModelTable() {
  cdsModel.Close();
  cdsModel.FieldDefs.clear();
  cdsModel.FieldDefs.push_back({cUnitNo, model::TFieldType::Word, 0, false});
  cdsModel.FieldDefs.push_back({cModel, model::TFieldType::WideString, 32, false});
  cdsModel.FieldDefs.push_back({cComment, model::TFieldType::WideString, 32, false});
  cdsModel.IndexDefs.push_back({u"UnitNo_IDX", cUnitNo, true});
  cdsModel.IndexName = u"UnitNo_IDX";
  cdsModel.CreateDataSet();
  cdsModel.Close();
  cdsModel.Open();
}

void TfrmMain::LoadModelTable(const std::u16string& aStLicense) {
  TIniScope ini(*this);
  std::vector<std::u16string> SL;
  if (!cdsModel.Active()) cdsModel.Open();
  cdsModel.EmptyDataSet();
  ini->ReadSectionValues(aStLicense, SL);
  model::TField& UnitNo = cdsModel.FieldByName(cUnitNo);
  model::TField& Model = cdsModel.FieldByName(cModel);
  model::TField& Comment = cdsModel.FieldByName(cComment);
  const model::TSectionRows rows = model::PairSection(SL);  // its rows view into SL
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
