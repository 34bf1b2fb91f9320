#include "model/ModelSection.h"

#include <algorithm>

#include "settings/IniInteger.h"
#include "settings/UnicodeCase.h"

namespace model {

namespace {

constexpr std::size_t cPrefixLength = 4;       // "unit"
constexpr std::size_t cMaxNumberLength = 256;  // characters of a key read as its number
constexpr std::int32_t cHighestUnitNo = 65535;
constexpr std::u16string_view cComment = u"comment";

// Each line's key, as views: the lines are many and each look-up would scan them again.
std::vector<std::u16string_view> KeysOf(const std::vector<std::u16string>& lines, const std::vector<std::size_t>& lengths) {
  std::vector<std::u16string_view> keys;
  keys.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) keys.push_back(std::u16string_view(lines[i]).substr(0, lengths[i]));
  return keys;
}

// The text after the key and its "=".
std::u16string_view ValueOf(std::u16string_view line, std::u16string_view key) {
  return key.size() < line.size() ? line.substr(key.size() + 1) : std::u16string_view();
}

// Keys match as the settings file's names do: by their upper-case forms.
bool SameKey(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && settings::UpperCaseAfter(i > 0 ? a[i - 1] : 0, a[i]) !=
                            settings::UpperCaseAfter(i > 0 ? b[i - 1] : 0, b[i]))
      return false;
  }
  return true;
}

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
  explicit TFirstOfKey(const std::vector<std::u16string_view>& keys, std::size_t skip) : FKeys(keys), FSkip(skip) {}
  void Reset() { FFirst.clear(); }
  // The first line of key, after `line` was seen; lines come in file order.
  std::uint32_t Add(std::uint32_t line) {
    const std::u16string_view key = Suffix(line);
    for (std::uint32_t first : FFirst)
      if (SameKey(Suffix(first), key)) return first;
    FFirst.push_back(line);
    return line;
  }
  // The first line whose key's text after the prefix matches `suffix`; -1 when none.
  std::int64_t Find(std::u16string_view suffix) const {
    for (std::uint32_t first : FFirst)
      if (SameKey(Suffix(first), suffix)) return first;
    return -1;
  }

 private:
  std::u16string_view Suffix(std::uint32_t line) const { return FKeys[line].substr(FSkip); }
  const std::vector<std::u16string_view>& FKeys;
  const std::size_t FSkip;
  std::vector<std::uint32_t> FFirst;
};

// Every "unit", in any letter case, becomes "comment".
std::u16string CommentKeyOf(std::u16string_view unitKey) {
  std::u16string result;
  for (std::size_t i = 0; i < unitKey.size();) {
    if (i + cPrefixLength <= unitKey.size() && SameKey(unitKey.substr(i, cPrefixLength), u"unit")) {
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
std::u16string_view CommentByScan(const std::vector<std::u16string>& comments,
                                  const std::vector<std::u16string_view>& keys, std::u16string_view unitKey) {
  const std::u16string commentKey = CommentKeyOf(unitKey);
  for (std::size_t line = 0; line < comments.size(); ++line)
    if (SameKey(keys[line], commentKey)) return ValueOf(comments[line], keys[line]);
  return {};
}

}  // namespace

TSectionRows PairSection(const std::vector<std::u16string>& units, const std::vector<std::size_t>& unitKeyLengths,
                         const std::vector<std::u16string>& comments, const std::vector<std::size_t>& commentKeyLengths) {
  TSectionRows result;
  const std::vector<std::u16string_view> unitKeys = KeysOf(units, unitKeyLengths);
  const std::vector<std::u16string_view> commentKeys = KeysOf(comments, commentKeyLengths);
  std::vector<TNumbered> numbered;
  numbered.reserve(units.size());
  for (std::uint32_t line = 0; line < units.size(); ++line) {
    const std::u16string_view text = unitKeys[line].substr(cPrefixLength, cMaxNumberLength);
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
    const std::u16string_view key = commentKeys[line];
    std::int32_t number = 0;
    if (key.size() > cComment.size() && SameKey(key.substr(0, cComment.size()), cComment) &&
        settings::TryParseIniInteger(key.substr(cComment.size()), number))
      commented.push_back({number, line});
  }
  std::sort(commented.begin(), commented.end());

  TFirstOfKey models(unitKeys, cPrefixLength);
  TFirstOfKey notes(commentKeys, cComment.size());
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
    const std::uint32_t first = models.Add(unit.Line);
    row.Model = ValueOf(units[first], unitKeys[first]);
    const std::u16string_view suffix = unitKeys[unit.Line].substr(cPrefixLength);
    if (suffix.size() > cMaxNumberLength) {
      row.Comment = CommentByScan(comments, commentKeys, unitKeys[unit.Line]);
    } else if (const std::int64_t line = notes.Find(suffix); line >= 0) {
      const auto at = static_cast<std::size_t>(line);
      row.Comment = ValueOf(comments[at], commentKeys[at]);
    }
    result.Rows.push_back(row);
  }
  return result;
}

}  // namespace model
