#include "model/ModelSection.h"

#include <algorithm>

#include "platform/UnicodeCase.h"
#include "settings/IniInteger.h"

namespace model {

namespace {

constexpr std::size_t cPrefixLength = 4;       // "unit"
constexpr std::size_t cMaxNumberLength = 256;  // characters of a key read as its number
constexpr std::int32_t cHighestUnitNo = 65535;
constexpr std::u16string_view cComment = u"comment";
constexpr std::u16string_view cUnitPrefix = u"unit";
constexpr std::u16string_view cCommentPrefix = u"comm";

// An entry's key and value, as views into its line: the lines are many and each look-up would
// scan them again.
struct TEntry {
  std::u16string_view Key;
  std::u16string_view Value;
};

// A line with the number its key stands for. Keys that match without regard to letter case
// stand for the same number, so the first line of a key is found among the lines of its
// number, which sorting brings together, instead of by a look-up per line.
struct TNumbered {
  std::int32_t Number;
  std::uint32_t Line;
  bool operator<(const TNumbered& other) const {
    return Number != other.Number ? Number < other.Number : Line < other.Line;
  }
};

// The first line (in file order) of each key among lines of one number: few, mostly one.
class TFirstOfKey {
 public:
  explicit TFirstOfKey(const std::vector<TEntry>& entries, std::size_t skip) : FEntries(entries), FSkip(skip) {}
  void Reset() { FFirst.clear(); }
  // The first line of key, after `line` was seen; lines come in file order.
  std::uint32_t Add(std::uint32_t line) {
    const std::u16string_view key = Suffix(line);
    for (std::uint32_t first : FFirst)
      if (platform::SameName(Suffix(first), key)) return first;
    FFirst.push_back(line);
    return line;
  }
  // The first line whose key's text after the prefix matches `suffix`; -1 when none.
  std::int64_t Find(std::u16string_view suffix) const {
    for (std::uint32_t first : FFirst)
      if (platform::SameName(Suffix(first), suffix)) return first;
    return -1;
  }

 private:
  std::u16string_view Suffix(std::uint32_t line) const { return FEntries[line].Key.substr(FSkip); }
  const std::vector<TEntry>& FEntries;
  const std::size_t FSkip;
  std::vector<std::uint32_t> FFirst;
};

// Every "unit", in any letter case, becomes "comment".
std::u16string CommentKeyOf(std::u16string_view unitKey) {
  std::u16string result;
  for (std::size_t i = 0; i < unitKey.size();) {
    if (i + cPrefixLength <= unitKey.size() && platform::SameName(unitKey.substr(i, cPrefixLength), u"unit")) {
      result += cComment;
      i += cPrefixLength;
    } else {
      result += unitKey[i++];
    }
  }
  return result;
}

// The comment of a unit key too long for its number to stand for it: searched line by line.
// Past the number's characters the key may hold "unit" again, which the comment key replaces too.
std::u16string_view CommentByScan(const std::vector<TEntry>& comments, std::u16string_view unitKey) {
  const std::u16string commentKey = CommentKeyOf(unitKey);
  for (const TEntry& comment : comments)
    if (platform::SameName(comment.Key, commentKey)) return comment.Value;
  return {};
}

}  // namespace

TSectionRows PairSection(const std::vector<std::u16string>& lines) {
  TSectionRows result;
  // The prefixes match exactly; the keys after them without regard to letter case.
  std::vector<TEntry> units, comments;
  for (const std::u16string& line : lines) {
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) continue;
    const TEntry entry{std::u16string_view(line).substr(0, equals), std::u16string_view(line).substr(equals + 1)};
    const std::u16string_view prefix = entry.Key.substr(0, cPrefixLength);
    if (prefix == cUnitPrefix) units.push_back(entry);
    else if (prefix == cCommentPrefix) comments.push_back(entry);
  }
  std::vector<TNumbered> numbered;
  numbered.reserve(units.size());
  for (std::uint32_t line = 0; line < units.size(); ++line) {
    const std::u16string_view text = units[line].Key.substr(cPrefixLength, cMaxNumberLength);
    std::int32_t number = 0;
    const bool integer = settings::TryParseIniInteger(text, number);
    if (!integer || number < 0 || number > cHighestUnitNo) {
      result.Stopped = true;
      result.StopIsInteger = integer;
      result.StopNumber = number;
      result.StopText = text;
      break;
    }
    numbered.push_back({number, line});
  }
  std::sort(numbered.begin(), numbered.end());

  // A unit key's comment key is "comment" and the unit key's number text: that text holds no
  // "unit" of its own, being an integer. So the comment entries that can match a unit are
  // those whose text after "comment" is the same integer.
  std::vector<TNumbered> commented;
  for (std::uint32_t line = 0; line < comments.size(); ++line) {
    const std::u16string_view key = comments[line].Key;
    std::int32_t number = 0;
    if (key.size() > cComment.size() && platform::SameName(key.substr(0, cComment.size()), cComment) &&
        settings::TryParseIniInteger(key.substr(cComment.size()), number))
      commented.push_back({number, line});
  }
  std::sort(commented.begin(), commented.end());

  TFirstOfKey models(units, cPrefixLength);
  TFirstOfKey notes(comments, cComment.size());
  result.Rows.reserve(numbered.size());
  std::size_t next = 0;  // in commented
  for (std::size_t i = 0; i < numbered.size(); ++i) {
    const TNumbered& unit = numbered[i];
    if (i == 0 || numbered[i - 1].Number != unit.Number) {
      models.Reset();
      notes.Reset();
      while (next < commented.size() && commented[next].Number < unit.Number) ++next;
      for (; next < commented.size() && commented[next].Number == unit.Number; ++next) notes.Add(commented[next].Line);
    }
    TSectionRow row;
    row.UnitNo = unit.Number;
    row.Model = units[models.Add(unit.Line)].Value;
    const std::u16string_view suffix = units[unit.Line].Key.substr(cPrefixLength);
    if (suffix.size() > cMaxNumberLength) {
      row.Comment = CommentByScan(comments, units[unit.Line].Key);
    } else if (const std::int64_t line = notes.Find(suffix); line >= 0) {
      row.Comment = comments[static_cast<std::size_t>(line)].Value;
    }
    result.Rows.push_back(row);
  }
  return result;
}

}  // namespace model
