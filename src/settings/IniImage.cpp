#include "settings/IniImage.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/Exception.h"
#include "platform/Text.h"
#include "platform/UnicodeCase.h"
#include "settings/ByteScan.h"
#include "settings/IniNames.h"
#include "settings/Utf8.h"

namespace settings {

namespace {

// A section with more lines than this gets an index of its entries once it has been searched
// line by line a few times: most operations ask a section for one or two names, and a plain
// search costs less than hashing every name of the section.
constexpr std::uint32_t cIndexAbove = 16;
constexpr std::uint32_t cScansBeforeIndex = 2;

constexpr std::string_view cBom = "\xEF\xBB\xBF";
constexpr std::string_view cLineEnd = "\r\n";

// Trimming removes U+0000 to U+0020, which in UTF-8 are single bytes of the same value.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

void TrimLeft(const char*& begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
}
void TrimRight(const char* begin, const char*& end) {
  while (end > begin && IsBlank(end[-1])) --end;
}

}  // namespace

TIniImage::TIniImage() = default;

std::unique_ptr<TIniImage> TIniImage::FromBytes(TFileBytes bytes, std::size_t start) {
  auto image = std::make_unique<TIniImage>();
  image->FLoaded = std::move(bytes);
  if (!image->Parse(start)) return nullptr;
  return image;
}

std::unique_ptr<TIniImage> TIniImage::FromBytes(std::string_view bytes, std::size_t start) {
  return FromBytes(TFileBytes(bytes), start);
}

TIniImage::~TIniImage() = default;

TIniImage::TSpan TIniImage::Loaded(const char* begin, const char* end, bool wide) const {
  return {static_cast<std::uint32_t>(begin - FLoaded.data()), static_cast<std::uint32_t>(end - begin), wide};
}

// One pass over the text, a chunk at a time: the chunk's masks give the line ends, each
// line's first "=", and whether its UTF-8 needs checking (most lines are ASCII).
bool TIniImage::Parse(std::size_t start) {
  const char* const end = FLoaded.data() + FLoaded.size();
  const char* lineBegin = FLoaded.data() + start;
  const char* equals = nullptr;
  bool beyondAscii = false;
  for (const char* chunk = lineBegin; chunk < end; chunk += cChunkBytes) {
    TChunkMasks masks;
    if (static_cast<std::size_t>(end - chunk) >= cChunkBytes) {
      masks = ScanChunk(chunk);
    } else {
      char tail[cChunkBytes] = {};  // zero bytes are neither line ends nor "="
      std::memcpy(tail, chunk, end - chunk);
      masks = ScanChunk(tail);
    }
    while (masks.Ends != 0) {
      const int at = std::countr_zero(masks.Ends);
      const std::uint64_t before = (std::uint64_t{1} << at) - 1;
      if (!equals && (masks.Equals & before) != 0) equals = chunk + std::countr_zero(masks.Equals & before);
      beyondAscii = beyondAscii || (masks.High & before) != 0;
      // CR LF ends a line and then an empty one, which is skipped like any empty line.
      if (!AddLine(lineBegin, chunk + at, equals, beyondAscii)) return false;
      const std::uint64_t upTo = (std::uint64_t{2} << at) - 1;  // all bits when at is 63
      masks.Ends &= ~upTo;
      masks.Equals &= ~upTo;
      masks.High &= ~upTo;
      lineBegin = chunk + at + 1;
      equals = nullptr;
      beyondAscii = false;
    }
    if (!equals && masks.Equals != 0) equals = chunk + std::countr_zero(masks.Equals);
    beyondAscii = beyondAscii || masks.High != 0;
  }
  return lineBegin >= end || AddLine(lineBegin, end, equals, beyondAscii);
}

bool TIniImage::AddLine(const char* begin, const char* stop, const char* equals, bool beyondAscii) {
  if (beyondAscii && !IsValidUtf8(std::string_view(begin, stop - begin))) return false;
  TrimLeft(begin, stop);
  TrimRight(begin, stop);
  if (begin == stop || *begin == ';') return true;
  if (*begin == '[' && stop - begin >= 2 && stop[-1] == ']') {
    const char* nameBegin = begin + 1;
    const char* nameEnd = stop - 1;
    TrimLeft(nameBegin, nameEnd);
    TrimRight(nameBegin, nameEnd);
    AddSection(Loaded(nameBegin, nameEnd));
    FSections.back().First = static_cast<std::uint32_t>(FLines.size());
    return true;
  }
  if (FSections.empty()) return true;  // above the first header
  TLine line{Loaded(begin, stop), {cTextLine, 0}};
  if (equals) {
    const char* nameEnd = equals;
    const char* valueBegin = equals + 1;
    TrimRight(begin, nameEnd);
    TrimLeft(valueBegin, stop);
    // Only a line with bytes beyond ASCII needs its name looked at; names are short.
    const bool wideName =
        beyondAscii && std::any_of(begin, nameEnd, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    line = {Loaded(begin, nameEnd, wideName), Loaded(valueBegin, stop)};
  }
  FLines.push_back(line);
  ++FSections.back().LoadedCount;
  return true;
}

std::uint32_t TIniImage::AddSection(TSpan name) {
  const auto id = static_cast<std::uint32_t>(FSections.size());
  TSection& section = FSections.emplace_back();
  section.Name = name;
  section.Hash = NameHash(Text(name));
  std::uint32_t& first = FSectionIndex.Slot(section.Hash);
  if (first == cNone) first = id;
  return id;
}

TIniImage::TSpan TIniImage::Store(std::u16string_view text) {
  char16_t all = 0;
  for (char16_t unit : text) all |= unit;
  // ASCII goes in as it is; anything else through the program's own encoder.
  const bool ascii = all < 0x80;
  const std::string encoded = ascii ? std::string() : platform::ToUtf8(text);
  const std::size_t size = ascii ? text.size() : encoded.size();
  // Checked before anything is reserved; a piece may start up to a block beyond the end.
  if (FWritten.size() + TByteStore::cBlockBytes + size >= cWrittenBit)
    throw platform::Exception(u"設定の内容が大きすぎます");
  std::size_t offset = 0;
  char* out = FWritten.Reserve(size, offset);
  if (ascii) {
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>(text[i]);
  } else {
    std::copy_n(encoded.data(), size, out);
  }
  return {cWrittenBit | static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(size), !ascii};
}

std::string_view TIniImage::Text(TSpan span) const {
  if (span.Offset & cWrittenBit) {
    return span.Length == 0 ? std::string_view()
                            : std::string_view(FWritten.At(span.Offset & ~cWrittenBit), span.Length);
  }
  return std::string_view(FLoaded.data() + span.Offset, span.Length);
}

const TIniImage::TLine& TIniImage::LineAt(const TSection& section, std::uint32_t i) const {
  return i < section.LoadedCount ? FLines[section.First + i] : section.Added[i - section.LoadedCount];
}

TIniImage::TLine& TIniImage::LineAt(TSection& section, std::uint32_t i) {
  return i < section.LoadedCount ? FLines[section.First + i] : section.Added[i - section.LoadedCount];
}

std::uint32_t TIniImage::FindSection(std::u16string_view name) const {
  if (FLastSection != cNone && name == FLastName) return FLastSection;
  const std::uint32_t found = SearchSection(name);
  if (found != cNone) {
    FLastName = name;
    FLastSection = found;
  }
  return found;
}

std::uint32_t TIniImage::SearchSection(std::u16string_view name) const {
  const std::uint64_t hash = NameHash(name);
  const std::uint32_t first = FSectionIndex.Find(hash);
  if (first == cNone) return cNone;
  if (SameName(Text(FSections[first].Name), name)) return first;
  // Another name with the same hash came first: look through them all.
  for (std::uint32_t id = first + 1; id < FSections.size(); ++id) {
    const TSection& section = FSections[id];
    if (!section.Erased && section.Hash == hash && SameName(Text(section.Name), name)) return id;
  }
  return cNone;
}

void TIniImage::IndexEntries(const TSection& section) const {
  section.Entries = std::make_unique<THashIndex>(section.LineCount());
  for (std::uint32_t i = 0; i < section.LineCount(); ++i) {
    const TLine& line = LineAt(section, i);
    if (!line.IsEntry()) continue;
    std::uint32_t& first = section.Entries->Slot(NameHash(Text(line.Name)));
    if (first == cNone) first = i;
  }
}

std::uint32_t TIniImage::FindEntry(const TSection& section, std::u16string_view name) const {
  if (section.LineCount() > cIndexAbove && !section.Entries && ++section.Scans > cScansBeforeIndex)
    IndexEntries(section);
  if (section.Entries) {
    const std::uint32_t first = section.Entries->Find(NameHash(name));
    if (first == cNone) return cNone;
    if (SameName(Text(LineAt(section, first).Name), name)) return first;
  }
  if (name.empty()) {
    for (std::uint32_t i = 0; i < section.LineCount(); ++i) {
      const TLine& line = LineAt(section, i);
      if (line.IsEntry() && line.Name.Length == 0) return i;
    }
    return cNone;
  }
  // An ASCII name has as many units as bytes, so only one of the asked name's length can
  // match. A stored name of as many bytes as the asked one has units matches only when all its
  // bytes are ASCII, so its last byte must then be the asked name's last unit: most lines end
  // there, without the full comparison.
  const char16_t last = platform::UpperCase(name.back());
  for (std::uint32_t i = 0; i < section.LineCount(); ++i) {
    const TLine& line = LineAt(section, i);
    if (!line.IsEntry() || line.Name.Length < name.size()) continue;
    if (!line.Name.Wide && line.Name.Length != name.size()) continue;
    const std::string_view stored = Text(line.Name);
    if (stored.size() == name.size()) {
      const auto byte = static_cast<unsigned char>(stored.back());
      if (byte >= 0x80 || platform::AsciiUpper(byte) != last) continue;
    }
    if (SameName(stored, name)) return i;
  }
  return cNone;
}

bool TIniImage::Read(std::u16string_view section, std::u16string_view ident, std::u16string& value) const {
  const std::uint32_t id = FindSection(section);
  if (id == cNone) return false;
  const TSection& found = FSections[id];
  const std::uint32_t i = FindEntry(found, ident);
  if (i == cNone) return false;
  value = DecodeUtf8(Text(LineAt(found, i).Value));
  return true;
}

void TIniImage::Write(std::u16string_view section, std::u16string_view ident, std::u16string_view value) {
  std::uint32_t id = FindSection(section);
  if (id == cNone) id = AddSection(Store(section));
  TSection& target = FSections[id];
  const std::uint32_t i = FindEntry(target, ident);
  const TLine line{Store(ident), Store(value)};
  if (i != cNone) {
    LineAt(target, i) = line;
    return;
  }
  target.Added.push_back(line);
  if (target.Entries) target.Entries->AddIfAbsent(NameHash(ident), target.LineCount() - 1);
}

void TIniImage::SectionLines(std::u16string_view section, std::vector<std::u16string>& lines) const {
  lines.clear();
  const std::uint32_t id = FindSection(section);
  if (id == cNone) return;
  const TSection& found = FSections[id];
  lines.reserve(found.LineCount());
  for (std::uint32_t i = 0; i < found.LineCount(); ++i) {
    const TLine& line = LineAt(found, i);
    const std::string_view name = Text(line.Name);
    if (!line.IsEntry()) {
      lines.push_back(DecodeUtf8(name));
      continue;
    }
    // Sized once: a section can hold many thousand lines.
    const std::string_view value = Text(line.Value);
    std::u16string& text = lines.emplace_back(Utf16Length(name) + 1 + Utf16Length(value), u'=');
    DecodeUtf8To(value, DecodeUtf8To(name, text.data()) + 1);
  }
}

void TIniImage::Erase(std::u16string_view section) {
  const std::uint32_t id = FindSection(section);
  if (id == cNone) return;
  TSection& erased = FSections[id];
  erased.Erased = true;
  FLastSection = cNone;
  erased.Added = TBlockList<TLine>();
  erased.Entries.reset();
  std::uint32_t& first = FSectionIndex.Slot(erased.Hash);
  if (first != id) return;
  first = cNone;
  for (std::uint32_t next = id + 1; next < FSections.size(); ++next) {
    if (!FSections[next].Erased && THashIndex::SameSlot(FSections[next].Hash, erased.Hash)) {
      first = next;
      break;
    }
  }
}

void TIniImage::Serialize(const std::function<void(std::string_view)>& write) const {
  std::string out;
  out.reserve(cPieceBytes + 4096);
  // Called at the end of each line: the piece goes out once it is big enough.
  const auto endLine = [&] {
    out += cLineEnd;
    if (out.size() >= cPieceBytes) {
      write(out);
      out.clear();
    }
  };
  out += cBom;
  for (const TSection& section : FSections) {
    if (section.Erased) continue;
    out += '[';
    out += Text(section.Name);
    out += ']';
    endLine();
    for (std::uint32_t i = 0; i < section.LineCount(); ++i) {
      const TLine& line = LineAt(section, i);
      out += Text(line.Name);
      if (line.IsEntry()) {
        out += '=';
        out += Text(line.Value);
      }
      endLine();
    }
    endLine();
  }
  write(out);
}

}  // namespace settings
