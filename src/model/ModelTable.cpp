#include "model/ModelTable.h"

#include <algorithm>

#include "model/ModelErrors.h"
#include "platform/Exception.h"
#include "platform/Text.h"
#include "settings/IniInteger.h"

namespace model {

namespace {

constexpr std::int64_t cWordMin = 0;
constexpr std::int64_t cWordMax = 65535;

// The toolkit's own messages for misuse by the program, not by the user.
constexpr std::u16string_view cDataSetClosed = u"Cannot perform this operation on a closed dataset";
constexpr std::u16string_view cNotEditing = u"Dataset not in edit or insert mode";
constexpr std::u16string_view cDataSetEmpty = u"Cannot perform this operation on an empty dataset";
constexpr std::u16string_view cFieldNotFound = u"Field '%s' not found";
constexpr std::u16string_view cIndexNotFound = u"Index '%s' not found";
constexpr std::u16string_view cMissingDataPacket = u"Missing data provider or data packet";

}  // namespace

TField::TField(TModelTable& table, const TFieldDef& def, int index)
    : FieldName(def.Name),
      DataType(def.DataType),
      Size(def.Size),
      Required(def.Required),
      Index(index),
      DisplayLabel(def.Name),
      DisplayWidth(def.DataType == TFieldType::Word ? 5 : def.Size),
      Alignment(def.DataType == TFieldType::Word ? platform::TAlignment::Right : platform::TAlignment::Left),
      FTable(table) {}

bool TField::IsNull() const { return FTable.Value(Index).Null; }

std::int32_t TField::AsInteger() const {
  const auto& value = FTable.Value(Index);
  if (value.Null) return 0;
  if (DataType == TFieldType::Word) return value.Int;
  std::int32_t number = 0;
  if (!settings::TryParseIniInteger(value.Text, number))
    RaiseError(cNotAnIntegerValue, {std::u16string_view(value.Text), std::u16string_view(FieldName)});
  return number;
}

std::u16string TField::AsString() const {
  const auto& value = FTable.Value(Index);
  if (value.Null) return {};
  return DataType == TFieldType::Word ? platform::IntToStr(value.Int) : value.Text;
}

void TField::SetAsInteger(std::int64_t value) {
  FTable.CheckEditing();
  if (DataType != TFieldType::Word) {
    SetAsString(platform::IntToStr(value));
    return;
  }
  if (value < cWordMin || value > cWordMax)
    RaiseError(cOutOfRange, {static_cast<double>(value), std::u16string_view(FieldName), static_cast<double>(cWordMin),
                             static_cast<double>(cWordMax)});
  TModelTable::TValue stored;
  stored.Null = false;
  stored.Int = static_cast<std::int32_t>(value);
  FTable.Assign(Index, std::move(stored));
}

void TField::SetAsString(std::u16string_view value) {
  FTable.CheckEditing();
  if (DataType == TFieldType::Word) {
    if (value.empty()) {
      Clear();
      return;
    }
    std::int32_t number = 0;
    if (!settings::TryParseIniInteger(value, number))
      RaiseError(cNotAnIntegerValue, {value, std::u16string_view(FieldName)});
    SetAsInteger(number);
    return;
  }
  TModelTable::TValue stored;
  stored.Null = value.empty();
  // Whole characters only: a pair the cut would split goes entirely.
  stored.Text = platform::CutUnits(value, static_cast<std::size_t>(Size));
  FTable.Assign(Index, std::move(stored));
}

void TField::Clear() {
  FTable.CheckEditing();
  FTable.Assign(Index, {});
}

TModelTable::~TModelTable() = default;

void TModelTable::CheckActive() const {
  if (!Active()) throw platform::Exception(std::u16string(cDataSetClosed));
}

void TModelTable::CheckEditing() const {
  CheckActive();
  if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
    throw platform::Exception(std::u16string(cNotEditing));
}

void TModelTable::CreateDataSet() {
  int indexField = -1;
  if (!IndexName.empty()) {
    auto index =
        std::find_if(IndexDefs.begin(), IndexDefs.end(), [&](const TIndexDef& d) { return d.Name == IndexName; });
    if (index == IndexDefs.end()) RaiseError(cIndexNotFound, {std::u16string_view(IndexName)});
    auto field =
        std::find_if(FieldDefs.begin(), FieldDefs.end(), [&](const TFieldDef& d) { return d.Name == index->Fields; });
    if (field == FieldDefs.end()) RaiseError(cFieldNotFound, {std::u16string_view(index->Fields)});
    indexField = static_cast<int>(field - FieldDefs.begin());
  }
  FPending.reset();
  FFields.clear();
  for (std::size_t i = 0; i < FieldDefs.size(); ++i)
    FFields.push_back(std::make_unique<TField>(*this, FieldDefs[i], static_cast<int>(i)));
  FIndexField = indexField;
  FRows.clear();
  FCurrent = -1;
  FCreated = true;
  FState = TDataSetState::Browse;
  FModified = false;
  FBof = FEof = true;
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Open() {
  if (Active()) return;
  if (!FCreated) throw platform::Exception(std::u16string(cMissingDataPacket));
  FState = TDataSetState::Browse;
  FCurrent = FRows.empty() ? -1 : 0;
  FBof = true;
  FEof = FRows.empty();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Close() {
  if (!Active()) return;
  FPending.reset();
  FModified = false;
  FState = TDataSetState::Inactive;
  Notify(TDataEvent::DataSetChange);
}

int TModelTable::RecordCount() const { return Active() ? static_cast<int>(FRows.size()) : 0; }

void TModelTable::ClearEnds() { FBof = FEof = FRows.empty(); }

void TModelTable::CheckBrowseMode() { Settle(); }

bool TModelTable::Settle() {
  CheckActive();
  if (FState != TDataSetState::Edit && FState != TDataSetState::Insert) return false;
  Notify(TDataEvent::UpdateRecord);
  const bool droppedAtEnd = !FModified && PendingAtEnd();
  if (FModified) {
    PostPending();
  } else {
    DropPending();
  }
  Notify(TDataEvent::DataSetChange);
  return droppedAtEnd;
}

void TModelTable::EmptyDataSet() {
  CheckBrowseMode();
  FRows.clear();
  FCurrent = -1;
  ClearEnds();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::BeginInsert(bool append) {
  CheckBrowseMode();
  TRecord record;
  record.Id = FNextId++;
  record.Values.resize(FFields.size());
  FPending = std::move(record);
  FInsertAt = append || FCurrent < 0 ? static_cast<int>(FRows.size()) : FCurrent;
  FState = TDataSetState::Insert;
  FModified = false;
  if (append) {
    FBof = FRows.empty();
    FEof = true;
  }
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Append() { BeginInsert(true); }

void TModelTable::Insert() { BeginInsert(false); }

void TModelTable::Edit() {
  CheckActive();
  if (FState == TDataSetState::Edit || FState == TDataSetState::Insert) return;
  if (FRows.empty()) {
    Insert();
    return;
  }
  FPending = FRows[static_cast<std::size_t>(FCurrent)];
  FState = TDataSetState::Edit;
  FModified = false;
  Notify(TDataEvent::StateChange);
}

void TModelTable::Post() {
  CheckEditing();
  Notify(TDataEvent::UpdateRecord);
  PostPending();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::PostPending() {
  TRecord record = std::move(*FPending);
  FPending.reset();
  if (FState == TDataSetState::Edit) FRows.erase(FRows.begin() + FCurrent);
  FCurrent = static_cast<int>(InsertSorted(std::move(record)));
  FState = TDataSetState::Browse;
  FModified = false;
  FBof = FEof = false;
}

void TModelTable::Cancel() {
  CheckActive();
  if (FState != TDataSetState::Edit && FState != TDataSetState::Insert) return;
  DropPending();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::DropPending() {
  // A dropped new row that stood at the end leaves the last row current.
  if (FState == TDataSetState::Insert && FInsertAt >= static_cast<int>(FRows.size()))
    FCurrent = static_cast<int>(FRows.size()) - 1;
  FPending.reset();
  FState = TDataSetState::Browse;
  FModified = false;
  FBof = FEof = false;
  ClearEnds();
}

void TModelTable::Delete() {
  CheckActive();
  if (FState == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (FRows.empty()) throw platform::Exception(std::u16string(cDataSetEmpty));
  FPending.reset();
  FState = TDataSetState::Browse;
  FModified = false;
  FRows.erase(FRows.begin() + FCurrent);
  if (FCurrent >= static_cast<int>(FRows.size())) FCurrent = static_cast<int>(FRows.size()) - 1;
  FBof = FEof = false;
  ClearEnds();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::First() {
  CheckBrowseMode();
  FCurrent = FRows.empty() ? -1 : 0;
  FBof = true;
  FEof = FRows.empty();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Last() {
  CheckBrowseMode();
  FCurrent = static_cast<int>(FRows.size()) - 1;
  FEof = true;
  FBof = FRows.empty();
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Next() { MoveBy(1); }

void TModelTable::Prior() { MoveBy(-1); }

void TModelTable::MoveBy(int distance) {
  // A new row dropped at the end stood one row below the last: going back from it, the last
  // row is the first step.
  if (Settle() && distance < 0) ++distance;
  if (distance == 0 || (distance > 0 && FEof) || (distance < 0 && FBof)) return;
  FBof = FEof = false;
  const int last = static_cast<int>(FRows.size()) - 1;
  const int target = FCurrent + distance;
  if (target > last) {
    FCurrent = last;
    FEof = true;
  } else if (target < 0) {
    FCurrent = FRows.empty() ? -1 : 0;
    FBof = true;
  } else {
    FCurrent = target;
  }
  if (FRows.empty()) FBof = FEof = true;
  Notify(TDataEvent::DataSetChange);
}

TField& TModelTable::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) RaiseError(cFieldNotFound, {std::u16string_view(platform::IntToStr(index))});
  return *FFields[static_cast<std::size_t>(index)];
}

TField& TModelTable::FieldByName(std::u16string_view name) const {
  for (const auto& field : FFields)
    if (field->FieldName == name) return *field;
  RaiseError(cFieldNotFound, {name});
}

const TModelTable::TValue& TModelTable::Value(int field) const {
  CheckActive();
  static const TValue cEmpty;
  const TRecord* record = FPending ? &*FPending : FCurrent >= 0 ? &FRows[static_cast<std::size_t>(FCurrent)] : nullptr;
  return record ? record->Values[static_cast<std::size_t>(field)] : cEmpty;
}

void TModelTable::Assign(int field, TValue value) {
  FPending->Values[static_cast<std::size_t>(field)] = std::move(value);
  FModified = true;
  Notify(TDataEvent::FieldChange);
}

bool TModelTable::Less(const TRecord& a, const TRecord& b) const {
  // Rows without a value come first; equal keys keep the order in which they were posted.
  const TValue& x = a.Values[static_cast<std::size_t>(FIndexField)];
  const TValue& y = b.Values[static_cast<std::size_t>(FIndexField)];
  if (x.Null || y.Null) return x.Null && !y.Null;
  return FFields[static_cast<std::size_t>(FIndexField)]->DataType == TFieldType::Word ? x.Int < y.Int : x.Text < y.Text;
}

std::size_t TModelTable::InsertSorted(TRecord record) {
  if (FIndexField < 0) {
    FRows.push_back(std::move(record));
    return FRows.size() - 1;
  }
  // Rows mostly arrive in order: look at the end first.
  if (FRows.empty() || !Less(record, FRows.back())) {
    FRows.push_back(std::move(record));
    return FRows.size() - 1;
  }
  auto at = std::upper_bound(FRows.begin(), FRows.end(), record,
                             [this](const TRecord& a, const TRecord& b) { return Less(a, b); });
  at = FRows.insert(at, std::move(record));
  return static_cast<std::size_t>(at - FRows.begin());
}

int TModelTable::ViewRowCount() const {
  if (!Active()) return 0;
  return static_cast<int>(FRows.size()) + (FState == TDataSetState::Insert ? 1 : 0);
}

int TModelTable::ViewRow() const {
  if (!Active()) return -1;
  return FState == TDataSetState::Insert ? FInsertAt : FCurrent;
}

bool TModelTable::PendingAtEnd() const {
  return FState == TDataSetState::Insert && FInsertAt >= static_cast<int>(FRows.size());
}

const TModelTable::TRecord* TModelTable::ViewRecord(int row) const {
  if (row < 0 || row >= ViewRowCount()) return nullptr;
  if (FPending && row == ViewRow()) return &*FPending;
  if (FState == TDataSetState::Insert && row > FInsertAt) --row;
  return &FRows[static_cast<std::size_t>(row)];
}

std::u16string TModelTable::ViewText(int row, int field) const {
  const TRecord* record = ViewRecord(row);
  if (!record || field < 0 || field >= FieldCount()) return {};
  const TValue& value = record->Values[static_cast<std::size_t>(field)];
  if (value.Null) return {};
  return FFields[static_cast<std::size_t>(field)]->DataType == TFieldType::Word ? platform::IntToStr(value.Int)
                                                                                : value.Text;
}

void TModelTable::MoveToView(int viewRow) {
  CheckActive();
  if (viewRow == ViewRow()) return;
  const TRecord* target = ViewRecord(viewRow);
  if (!target) return;
  std::uint64_t id = target->Id;
  CheckBrowseMode();
  auto found = std::find_if(FRows.begin(), FRows.end(), [id](const TRecord& r) { return r.Id == id; });
  if (found == FRows.end()) return;
  FCurrent = static_cast<int>(found - FRows.begin());
  FBof = FEof = false;
  Notify(TDataEvent::DataSetChange);
}

void TModelTable::Notify(TDataEvent event) {
  // By position, which stays valid should a source come while another hears the event (a source
  // only goes when its owner does, never then); a copy of the list per event would cost more
  // than the rest of a bulk load.
  for (std::size_t i = 0; i < FSources.size(); ++i) FSources[i]->DataEvent(event);  // NOLINT(modernize-loop-convert)
}

TDataSource::TDataSource(TModelTable& dataSet) : FDataSet(dataSet) { dataSet.FSources.push_back(this); }

TDataSource::~TDataSource() {
  auto& sources = FDataSet.FSources;
  sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
}

void TDataSource::RemoveLink(TDataLink* link) {
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
}

void TDataSource::DataEvent(TDataEvent event) {
  if (FLinks.empty()) return;
  // A copy, so that a view may stop listening while it hears of a change.
  const std::vector<TDataLink*> links = FLinks;
  for (TDataLink* link : links) link->DataEvent(event);
}

}  // namespace model
