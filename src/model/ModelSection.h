#pragma once
// How the lines of a licence section become rows of the model table: each unit entry's number
// from its key, its model from the first unit entry of the same key, and its comment from the
// first comment entry whose key is the unit key with "unit" replaced by "comment". Keys match
// without regard to letter case.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace model {

struct TSectionRow {
  std::int32_t UnitNo = 0;
  std::u16string_view Model;  // views into the lines given
  std::u16string_view Comment;
};

struct TSectionRows {
  // Ascending unit numbers; equal numbers in the order of their lines. Posted in this order,
  // each row lands after the others.
  std::vector<TSectionRow> Rows;
  // The first unit entry whose number is no integer (Integer false) or lies outside 0 to
  // 65535 ends the rows: only the entries above it have rows.
  bool Stopped = false;
  bool StopIsInteger = false;
  std::int32_t StopNumber = 0;
  std::u16string_view StopText;  // the key's text after "unit", as far as it is read
};

// The rows of a section's lines as ReadSectionValues lists them: the lines whose key (the text
// before the first "=") starts with "unit" are the unit entries, those whose key starts with
// "comm" the comment entries; the others play no part. Rows view into `lines`.
TSectionRows PairSection(const std::vector<std::u16string>& lines);

}  // namespace model
