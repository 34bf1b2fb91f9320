#pragma once
// The settings file: an in-memory image of an INI file, loaded whole at creation and
// written back only by UpdateFile.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

enum class TEncoding { UTF8 };

class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::u16string fileName) : FFileName(std::move(fileName)) {}
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::u16string& FileName() const { return FFileName; }

  virtual std::u16string ReadString(const std::u16string& section, const std::u16string& ident,
                                    const std::u16string& defaultValue) = 0;
  virtual void WriteString(const std::u16string& section, const std::u16string& ident, const std::u16string& value) = 0;
  virtual std::int32_t ReadInteger(const std::u16string& section, const std::u16string& ident,
                                   std::int32_t defaultValue);
  virtual void WriteInteger(const std::u16string& section, const std::u16string& ident, std::int32_t value);
  virtual bool ReadBool(const std::u16string& section, const std::u16string& ident, bool defaultValue);
  virtual void WriteBool(const std::u16string& section, const std::u16string& ident, bool value);
  virtual void ReadSectionValues(const std::u16string& section, std::vector<std::u16string>& strings) = 0;
  virtual void EraseSection(const std::u16string& section) = 0;
  virtual void UpdateFile() = 0;

 private:
  std::u16string FFileName;
};

class TMemIniFile : public TCustomIniFile {
 public:
  // Loads the file; raises the open error when it exists but cannot be read.
  explicit TMemIniFile(std::u16string fileName, TEncoding encoding = TEncoding::UTF8);
  ~TMemIniFile() override;
  TMemIniFile(const TMemIniFile&) = delete;
  TMemIniFile& operator=(const TMemIniFile&) = delete;

  std::u16string ReadString(const std::u16string& section, const std::u16string& ident,
                            const std::u16string& defaultValue) override;
  // Refuses a section, name or value holding CR or LF, which could not be read back as written,
  // or a lone surrogate, which UTF-8 cannot hold.
  void WriteString(const std::u16string& section, const std::u16string& ident, const std::u16string& value) override;
  void ReadSectionValues(const std::u16string& section, std::vector<std::u16string>& strings) override;
  void EraseSection(const std::u16string& section) override;
  void UpdateFile() override;

  TEncoding Encoding() const { return FEncoding; }

  // A larger file is refused from its size, before any of it is read.
  static constexpr std::size_t cMaxBytes = 0x7FFFFFFF;

 private:
  // Names match by their upper case: equal for names that match.
  static std::uint32_t NameHash(std::u16string_view name);
  // Made for a list searched often: its items by their names' hash, at most half full, each
  // slot the number + 1 of the first item of a name (0 is free).
  using TSlots = std::vector<std::uint32_t>;
  // A line's texts lie in FText or FWritten, which keep every text until the object goes.
  // Compact, as a search passes over many lines.
  struct TLine {
    static constexpr std::uint32_t cTextLine = 0xFFFFFFFF;  // ValueAt of a line without "="
    TLine(std::u16string_view name, std::u16string_view value, std::uint32_t hash)
        : Text(name.data()),
          NameLength(static_cast<std::uint32_t>(name.size())),
          ValueAt(value.data() ? static_cast<std::uint32_t>(value.data() - name.data()) : cTextLine),
          ValueLength(static_cast<std::uint32_t>(value.size())),
          Hash(hash) {}
    std::u16string_view Name() const { return {Text, NameLength}; }  // or the whole text line
    std::u16string_view Value() const { return {Text + ValueAt, ValueLength}; }
    bool Entry() const { return ValueAt != cTextLine; }
    const char16_t* Text;
    std::uint32_t NameLength, ValueAt, ValueLength;
    std::uint32_t Hash;  // of an entry's name: a search reads only the names it may match
  };
  struct TSection {
    std::u16string_view Title;
    std::uint32_t Hash;
    std::vector<TLine> Lines;
    TSlots Slots;  // of the entries, once the section is searched often
    unsigned Searches = 0;
    std::u16string_view Name() const { return Title; }
    static bool Entry() { return true; }  // named, as an entry is
  };

  void Parse();
  TSection* FindSection(std::u16string_view name);
  std::size_t FindEntry(TSection& section, std::u16string_view name);
  void Serialize(const std::function<void(std::string_view)>& write) const;

  TEncoding FEncoding;
  bool FExisted = false;                // a file was at the path when loaded, or has been flushed since
  std::u16string FText;                 // the file, decoded
  std::deque<std::u16string> FWritten;  // texts written since, each at a fixed place
  std::vector<TSection> FSections;
  TSlots FSectionSlots;  // made at the first search: every operation asks for a section
};

}  // namespace settings
