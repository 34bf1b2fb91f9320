#pragma once
// The in-memory table behind the model dialog: rows of typed fields kept in the order of one
// non-unique index, a cursor with Bof and Eof, and one pending row in the edit and insert
// states. Views see it through a TDataSource and hear of every change.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"

namespace model {

enum class TDataSetState { Inactive, Browse, Edit, Insert };
enum class TFieldType { Word, WideString };  // unsigned 16-bit integer; UTF-16 text of at most Size units

// What a view hears: the rows or the cursor changed; only the state changed (browse to edit);
// a field of the pending row was assigned; the pending row is about to be settled or posted,
// so a view hands in what the user typed.
enum class TDataEvent { DataSetChange, StateChange, FieldChange, UpdateRecord };

struct TFieldDef {
  std::u16string Name;
  TFieldType DataType = TFieldType::WideString;
  int Size = 0;
  bool Required = false;
};

struct TIndexDef {
  std::u16string Name;
  std::u16string Fields;  // one field name
  bool Primary = false;
};

class TModelTable;

class TField {
 public:
  TField(TModelTable& table, const TFieldDef& def, int index);

  const std::u16string FieldName;
  const TFieldType DataType;
  const int Size;
  const bool Required;
  const int Index;  // position in the table's fields
  // Presentation attributes, read by every view.
  std::u16string DisplayLabel;
  int DisplayWidth;  // in characters
  platform::TAlignment Alignment;

  bool IsNull() const;
  std::int32_t AsInteger() const;   // an empty value reads as 0
  std::u16string AsString() const;  // an empty value reads as ""
  // In the edit and insert states only. A number outside 0 to 65535 is refused for a Word
  // field; a text is cut to Size code units.
  void SetAsInteger(std::int64_t value);
  // A Word field takes the settings file's integer syntax, or "" for no number.
  void SetAsString(std::u16string_view value);
  void Clear();

 private:
  TModelTable& FTable;
};

class TDataSource;

class TModelTable {
 public:
  explicit TModelTable(std::string name) : Name(std::move(name)) {}
  ~TModelTable();
  TModelTable(const TModelTable&) = delete;
  TModelTable& operator=(const TModelTable&) = delete;

  const std::string Name;
  std::vector<TFieldDef> FieldDefs;
  std::vector<TIndexDef> IndexDefs;
  std::u16string IndexName;  // the active index

  // Builds the fields and the index from the definitions; the table is then open and empty.
  void CreateDataSet();
  // Reopens the rows it had when closed; a table never created cannot open.
  void Open();
  // Drops a pending row and keeps the rows for the next Open.
  void Close();
  bool Active() const { return FState != TDataSetState::Inactive; }

  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  int RecordCount() const;  // posted rows
  bool IsEmpty() const { return RecordCount() == 0; }

  void EmptyDataSet();
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  void First();
  void Prior();
  void Next();
  void Last();
  // Settles, then moves up to distance rows; an end reached sets Bof or Eof.
  void MoveBy(int distance);
  // In the edit and insert states: hands in the views' text, then posts when a field was
  // assigned and cancels when none was.
  void CheckBrowseMode();

  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TField& Fields(int index) const;
  TField& FieldByName(std::u16string_view name) const;

  // The rows as a view shows them: the posted rows with the pending new row at its place.
  int ViewRowCount() const;
  int ViewRow() const;  // the current row; -1 when there is none
  std::u16string ViewText(int row, int field) const;
  // The pending new row stands after every posted row.
  bool PendingAtEnd() const;
  // Settles, then makes current the row that the view showed at viewRow before.
  void MoveToView(int viewRow);

 private:
  friend class TField;
  friend class TDataSource;

  struct TValue {
    bool Null = true;
    std::int32_t Int = 0;
    std::u16string Text;
  };
  struct TRecord {
    std::uint64_t Id = 0;
    std::vector<TValue> Values;
  };

  // CheckBrowseMode; true when it dropped an untouched new row that stood at the end.
  bool Settle();
  void CheckActive() const;
  void CheckEditing() const;
  const TValue& Value(int field) const;
  void Assign(int field, TValue value);
  void BeginInsert(bool append);
  void PostPending();
  void DropPending();
  std::size_t InsertSorted(TRecord record);
  bool Less(const TRecord& a, const TRecord& b) const;
  const TRecord* ViewRecord(int row) const;
  void ClearEnds();
  void Notify(TDataEvent event);

  std::vector<std::unique_ptr<TField>> FFields;
  int FIndexField = -1;
  bool FCreated = false;
  std::vector<TRecord> FRows;  // in index order
  int FCurrent = -1;           // index in FRows; -1 when empty
  TDataSetState FState = TDataSetState::Inactive;
  std::optional<TRecord> FPending;  // the row being edited or inserted
  int FInsertAt = 0;                // where the pending new row shows
  bool FModified = false;
  bool FBof = true;
  bool FEof = true;
  std::uint64_t FNextId = 1;
  std::vector<TDataSource*> FSources;  // not owned
};

// Something that shows a table and follows its changes.
class TDataLink {
 public:
  virtual ~TDataLink() = default;
  virtual void DataEvent(TDataEvent event) = 0;
};

// The link through which views see a table.
class TDataSource {
 public:
  explicit TDataSource(TModelTable& dataSet);
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TModelTable& DataSet() const { return FDataSet; }
  void AddLink(TDataLink* link) { FLinks.push_back(link); }
  void RemoveLink(TDataLink* link);
  void DataEvent(TDataEvent event);

 private:
  TModelTable& FDataSet;
  std::vector<TDataLink*> FLinks;  // not owned
};

}  // namespace model
