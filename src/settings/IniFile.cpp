#include "settings/IniFile.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/UnicodeCase.h"
#include "settings/IniErrors.h"
#include "settings/IniInteger.h"
#include "settings/SafeWrite.h"

namespace settings {

namespace {

constexpr std::string_view cBom = "\xEF\xBB\xBF";
constexpr unsigned long cErrorFileTooLarge = 223;
// A section gets an index of its entries after a few plain searches: most operations ask a
// section for a name or two, which a plain search answers sooner.
constexpr unsigned cSearchesBeforeIndex = 4;
// The flush encodes and writes the text in pieces, so that no second copy of a file is held.
constexpr std::size_t cPieceUnits = std::size_t{32} * 1024;

std::u16string FullPath(const std::u16string& fileName) { return platform::Current().Files().ExpandFileName(fileName); }

// The whole file, read while other processes may read but not write it; nullopt when no file
// is there (a folder counts as none). Sized as the file is now, one byte over, so that a file
// that grows meanwhile is read on, up to maxBytes.
std::optional<std::string> ReadFileShared(platform::IFileSystem& files, const std::u16string& path,
                                          std::size_t maxBytes) {
  const platform::TOpenFile file(files, files.OpenShared(path));
  if (!file) return std::nullopt;
  const std::uint64_t size = files.FileSize(file.Get());
  if (size > maxBytes) throw platform::EOSError(cErrorFileTooLarge, u"ファイルが大きすぎます");
  std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t done = 0;
  while (const std::size_t got = files.Read(file.Get(), bytes.data() + done, bytes.size() - done)) {
    done += got;
    if (done > maxBytes) throw platform::EOSError(cErrorFileTooLarge, u"ファイルが大きすぎます");
    if (done == bytes.size()) bytes.resize(std::min(2 * done, maxBytes + 1));
  }
  bytes.resize(done);
  return bytes;
}

// Trimming removes U+0000 to U+0020.
std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  return text;
}

// A surrogate without its partner is no character: UTF-8 cannot hold it.
bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!platform::IsHighSurrogate(text[i]) && !platform::IsLowSurrogate(text[i])) continue;
    if (platform::IsLowSurrogate(text[i]) || i + 1 == text.size() || !platform::IsLowSurrogate(text[i + 1]))
      return true;
    ++i;
  }
  return false;
}

// The slot of the first item named name, or the free slot where it would go.
template <class TItem>
std::uint32_t& Slot(std::vector<std::uint32_t>& slots, const std::vector<TItem>& items, std::u16string_view name,
                    std::uint32_t hash) {
  const std::size_t mask = slots.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    std::uint32_t& slot = slots[i];
    if (slot == 0 || (items[slot - 1].Hash == hash && platform::SameName(items[slot - 1].Name(), name))) return slot;
  }
}

// Slots made anew for all items, each name's first.
template <class TItem>
void Index(std::vector<std::uint32_t>& slots, const std::vector<TItem>& items) {
  slots.assign(std::bit_ceil(4 * items.size()), 0);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i].Entry()) continue;
    if (std::uint32_t& slot = Slot(slots, items, items[i].Name(), items[i].Hash); slot == 0)
      slot = static_cast<std::uint32_t>(i + 1);
  }
}

// The last item, just added, into slots made already; they are made anew as they fill.
template <class TItem>
void IndexLast(std::vector<std::uint32_t>& slots, const std::vector<TItem>& items) {
  if (slots.empty()) return;
  if (2 * items.size() > slots.size()) return Index(slots, items);
  Slot(slots, items, items.back().Name(), items.back().Hash) = static_cast<std::uint32_t>(items.size());
}

}  // namespace

std::int32_t TCustomIniFile::ReadInteger(const std::u16string& section, const std::u16string& ident,
                                         std::int32_t defaultValue) {
  std::int32_t value = defaultValue;
  TryParseIniInteger(ReadString(section, ident, u""), value);
  return value;
}

void TCustomIniFile::WriteInteger(const std::u16string& section, const std::u16string& ident, std::int32_t value) {
  WriteString(section, ident, platform::IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::u16string& section, const std::u16string& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::u16string& section, const std::u16string& ident, bool value) {
  WriteString(section, ident, value ? u"1" : u"0");
}

std::uint32_t TMemIniFile::NameHash(std::u16string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (std::size_t i = 0; i < name.size(); ++i)
    hash = (hash ^ platform::UpperCaseAfter(i > 0 ? name[i - 1] : 0, name[i])) * 0x100000001B3ull;
  return static_cast<std::uint32_t>(hash ^ (hash >> 29));  // the low bits, which pick a slot, from all
}

TMemIniFile::TMemIniFile(std::u16string fileName, TEncoding encoding)
    : TCustomIniFile(std::move(fileName)), FEncoding(encoding) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileShared(platform::Current().Files(), FileName(), cMaxBytes);
  } catch (const platform::EOSError& error) {
    throw EIniOpenError(FullPath(FileName()), error.SystemText());
  }
  FExisted = bytes.has_value();
  if (!bytes) return;
  const std::string_view text = std::string_view(*bytes).substr(bytes->starts_with(cBom) ? cBom.size() : 0);
  if (!platform::TryFromUtf8(text, FText)) throw EIniEncodingError(FullPath(FileName()));
  bytes.reset();
  Parse();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Parse() {
  const std::u16string_view text = FText;
  for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    // A line ends at CR or LF; CR LF leaves an empty line between, skipped as every empty one.
    end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    const std::u16string_view line = Trim(text.substr(start, end - start));
    if (line.empty() || line.front() == u';') continue;
    if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
      const std::u16string_view name = Trim(line.substr(1, line.size() - 2));
      FSections.push_back({name, NameHash(name), {}, {}, 0});
    } else if (FSections.empty()) {
      continue;  // above the first header
    } else if (const std::size_t equals = line.find(u'='); equals == line.npos) {
      FSections.back().Lines.emplace_back(line, std::u16string_view(), 0);
    } else {
      const std::u16string_view name = Trim(line.substr(0, equals));
      FSections.back().Lines.emplace_back(name, Trim(line.substr(equals + 1)), NameHash(name));
    }
  }
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::u16string_view name) {
  if (FSectionSlots.empty()) Index(FSectionSlots, FSections);
  const std::uint32_t slot = Slot(FSectionSlots, FSections, name, NameHash(name));
  return slot == 0 ? nullptr : &FSections[slot - 1];
}

std::size_t TMemIniFile::FindEntry(TSection& section, std::u16string_view name) {
  const std::vector<TLine>& lines = section.Lines;
  if (section.Slots.empty() && ++section.Searches > cSearchesBeforeIndex) Index(section.Slots, lines);
  const std::uint32_t hash = NameHash(name);
  if (!section.Slots.empty()) return std::size_t{Slot(section.Slots, lines, name, hash)} - 1;  // npos when free
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].Hash == hash && lines[i].Entry() && platform::SameName(lines[i].Name(), name)) return i;
  }
  return std::u16string_view::npos;
}

std::u16string TMemIniFile::ReadString(const std::u16string& section, const std::u16string& ident,
                                       const std::u16string& defaultValue) {
  TSection* found = FindSection(section);
  const std::size_t i = found ? FindEntry(*found, ident) : std::u16string_view::npos;
  return i == std::u16string_view::npos ? defaultValue : std::u16string(found->Lines[i].Value());
}

void TMemIniFile::WriteString(const std::u16string& section, const std::u16string& ident, const std::u16string& value) {
  const auto hasLineBreak = [](const std::u16string& text) { return text.find_first_of(u"\r\n") != text.npos; };
  if (hasLineBreak(section) || hasLineBreak(ident) || hasLineBreak(value))
    throw EIniLineBreakError(FullPath(FileName()));
  if (HasLoneSurrogate(section) || HasLoneSurrogate(ident) || HasLoneSurrogate(value))
    throw EIniSurrogateError(FullPath(FileName()));
  TSection* target = FindSection(section);
  if (!target) {
    target = &FSections.emplace_back(TSection{FWritten.emplace_back(section), NameHash(section), {}, {}, 0});
    IndexLast(FSectionSlots, FSections);
  }
  const std::u16string_view text = FWritten.emplace_back(ident + u'=' + value);
  const TLine line{text.substr(0, ident.size()), text.substr(ident.size() + 1), NameHash(ident)};
  if (const std::size_t i = FindEntry(*target, ident); i != std::u16string_view::npos) {
    target->Lines[i] = line;
    return;
  }
  target->Lines.push_back(line);
  IndexLast(target->Slots, target->Lines);
}

void TMemIniFile::ReadSectionValues(const std::u16string& section, std::vector<std::u16string>& strings) {
  strings.clear();
  const TSection* found = FindSection(section);
  if (!found) return;
  strings.reserve(found->Lines.size());
  for (const TLine& line : found->Lines) {
    std::u16string& text = strings.emplace_back(line.Name());
    if (line.Entry()) text.append(u"=").append(line.Value());
  }
}

void TMemIniFile::EraseSection(const std::u16string& section) {
  const TSection* found = FindSection(section);
  if (!found) return;
  FSections.erase(FSections.begin() + (found - FSections.data()));
  FSectionSlots.clear();  // the places after it moved: made anew at the next search
}

void TMemIniFile::Serialize(const std::function<void(std::string_view)>& write) const {
  std::u16string piece = u"\uFEFF";  // the byte-order mark, EF BB BF in UTF-8
  const auto endLine = [&] {
    piece += u"\r\n";
    if (piece.size() < cPieceUnits) return;
    write(platform::ToUtf8(piece));
    piece.clear();
  };
  for (const TSection& section : FSections) {
    piece.append(u"[").append(section.Title).append(u"]");
    endLine();
    for (const TLine& line : section.Lines) {
      piece += line.Name();
      if (line.Entry()) piece.append(u"=").append(line.Value());
      endLine();
    }
    endLine();
  }
  write(platform::ToUtf8(piece));
}

void TMemIniFile::UpdateFile() {
  try {
    WriteFileSafely(platform::Current().Files(), FileName(), FExisted,
                    [this](const TContentWriter& write) { Serialize(write); });
    FExisted = true;
  } catch (const platform::EOSError& error) {
    throw EIniCreateError(FullPath(FileName()), error.SystemText());
  }
}

}  // namespace settings
