#pragma once
// The settings file in memory. The loaded bytes stay in one buffer and each line is a few
// offsets into it; text written later goes to a store of blocks. Sections are found through a
// hash index, and the entries of a long section through an index built at its first look-up.
// The same rules without the machinery, written out plainly line by line, are in
// fuzz/ReferenceIni.h (what a load finds, the bytes a flush writes); the fuzz targets hold this
// image to them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Blocks.h"
#include "settings/HashIndex.h"
#include "settings/SharedRead.h"

namespace settings {

class TIniImage {
 public:
  // Offsets are 32-bit; a settings file is far smaller.
  static constexpr std::size_t cMaxBytes = 0x7FFFFFFF;

  TIniImage();
  // The image of a file's bytes from start on (start skips the byte-order mark); null when
  // they are not valid UTF-8.
  static std::unique_ptr<TIniImage> FromBytes(TFileBytes bytes, std::size_t start);
  static std::unique_ptr<TIniImage> FromBytes(std::string_view bytes, std::size_t start);
  ~TIniImage();
  TIniImage(const TIniImage&) = delete;
  TIniImage& operator=(const TIniImage&) = delete;

  // The first match's value; false when the section or the entry is missing.
  bool Read(std::u16string_view section, std::u16string_view ident, std::u16string& value) const;
  void Write(std::u16string_view section, std::u16string_view ident, std::u16string_view value);
  // Entries as name=value, text lines as they are; empty when the section is missing.
  void SectionLines(std::u16string_view section, std::vector<std::u16string>& lines) const;
  void Erase(std::u16string_view section);
  // The file's new content: byte-order mark, then every line followed by CR LF. It goes to
  // write in pieces of about cPieceBytes, so that no second copy of the file is held.
  static constexpr std::size_t cPieceBytes = std::size_t{64} * 1024;
  void Serialize(const std::function<void(std::string_view)>& write) const;

 private:
  // Offsets with this bit set point into FWritten, the others into FLoaded.
  static constexpr std::uint32_t cWrittenBit = 0x80000000;
  static constexpr std::uint32_t cTextLine = 0xFFFFFFFF;  // Value of a line without "="
  static constexpr std::uint32_t cNone = THashIndex::cNone;

  // Lengths fit in 31 bits (see cMaxBytes), which leaves one for whether the text may hold
  // bytes beyond ASCII: a look-up passes over ASCII names of another length without reading them.
  struct TSpan {
    std::uint32_t Offset;
    std::uint32_t Length : 31;
    std::uint32_t Wide : 1 = 1;  // 0 only when the text is known to be ASCII
  };

  struct TLine {
    TSpan Name;   // an entry's name, or the whole of a text line
    TSpan Value;  // Offset is cTextLine for a text line
    bool IsEntry() const { return Value.Offset != cTextLine; }
  };
  static_assert(sizeof(TLine) == 16, "a line is four offsets and lengths");

  struct TSection {
    TSpan Name{};
    std::uint64_t Hash = 0;
    std::uint32_t First = 0;  // its loaded lines are FLines[First, First + LoadedCount)
    std::uint32_t LoadedCount = 0;
    TBlockList<TLine> Added;                      // lines written after the load, in order
    mutable std::unique_ptr<THashIndex> Entries;  // name hash -> first line; built on demand
    mutable std::uint32_t Scans = 0;              // look-ups line by line so far
    bool Erased = false;
    std::uint32_t LineCount() const { return LoadedCount + static_cast<std::uint32_t>(Added.size()); }
  };

  // False when the text is not valid UTF-8; the lines and sections are then incomplete.
  bool Parse(std::size_t start);
  bool AddLine(const char* begin, const char* stop, const char* equals, bool beyondAscii);
  std::uint32_t AddSection(TSpan name);
  TSpan Loaded(const char* begin, const char* end, bool wide = true) const;
  TSpan Store(std::u16string_view text);
  std::string_view Text(TSpan span) const;

  const TLine& LineAt(const TSection& section, std::uint32_t i) const;
  TLine& LineAt(TSection& section, std::uint32_t i);

  std::uint32_t FindSection(std::u16string_view name) const;
  std::uint32_t SearchSection(std::u16string_view name) const;
  std::uint32_t FindEntry(const TSection& section, std::u16string_view name) const;
  void IndexEntries(const TSection& section) const;

  TFileBytes FLoaded;               // the file's bytes
  TByteStore FWritten;              // names and values written since the load
  TBlockList<TLine, 4096> FLines;   // the loaded lines of every section, without a count beforehand
  std::vector<TSection> FSections;  // in file order; erased ones stay, marked
  THashIndex FSectionIndex;         // name hash -> first section not erased with that hash
  // The last section found and the name it was asked by: writes come in runs to one section.
  // Forgotten when a section is erased; added sections come last and change no answer.
  mutable std::u16string FLastName;
  mutable std::uint32_t FLastSection = cNone;
};

}  // namespace settings
