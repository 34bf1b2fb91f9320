#pragma once
// The settings file: an in-memory image of an INI file, loaded whole at creation and
// written back only by UpdateFile.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace settings {

class TIniImage;

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

 private:
  TEncoding FEncoding;
  bool FExisted = false;  // a file was at the path when loaded, or has been flushed since
  std::unique_ptr<TIniImage> FData;
};

}  // namespace settings
