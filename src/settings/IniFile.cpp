#include "settings/IniFile.h"

#include <cstring>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/IniErrors.h"
#include "settings/IniImage.h"
#include "settings/IniInteger.h"
#include "settings/SafeWrite.h"
#include "settings/SharedRead.h"

namespace settings {

namespace {

constexpr std::string_view cBom = "\xEF\xBB\xBF";

std::u16string FullPath(const std::u16string& fileName) { return platform::Current().Files().ExpandFileName(fileName); }

// existed tells whether a file was there: a first flush must not replace one made meanwhile.
std::unique_ptr<TIniImage> Load(const std::u16string& fileName, bool& existed) {
  std::optional<TFileBytes> bytes;
  try {
    bytes = ReadFileShared(platform::Current().Files(), fileName, TIniImage::cMaxBytes);
  } catch (const platform::EOSError& error) {
    throw EIniOpenError(FullPath(fileName), error.SystemText());
  }
  existed = bytes.has_value();
  if (!bytes) return std::make_unique<TIniImage>();
  const std::size_t start = bytes->View().starts_with(cBom) ? cBom.size() : 0;
  std::unique_ptr<TIniImage> image = TIniImage::FromBytes(std::move(*bytes), start);
  if (!image) throw EIniEncodingError(FullPath(fileName));
  return image;
}

// Four units at a time: a unit of value 0 in x ^ (repeated CR or LF) is a line break.
bool HasLineBreak(const std::u16string& text) {
  constexpr std::uint64_t cLow = 0x0001000100010001ull;
  constexpr std::uint64_t cHigh = 0x8000800080008000ull;
  const auto hasZero = [](std::uint64_t x) { return ((x - cLow) & ~x & cHigh) != 0; };
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  for (; end - p >= 4; p += 4) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (hasZero(word ^ (cLow * u'\r')) || hasZero(word ^ (cLow * u'\n'))) return true;
  }
  for (; p < end; ++p) {
    if (*p == u'\r' || *p == u'\n') return true;
  }
  return false;
}

// A surrogate without its partner is no character: UTF-8 cannot hold it.
bool HasLoneSurrogate(const std::u16string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0xD800 || unit > 0xDFFF) continue;
    if (unit > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
    ++i;
  }
  return false;
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

TMemIniFile::TMemIniFile(std::u16string fileName, TEncoding encoding)
    : TCustomIniFile(std::move(fileName)), FEncoding(encoding), FData(Load(FileName(), FExisted)) {}

TMemIniFile::~TMemIniFile() = default;

std::u16string TMemIniFile::ReadString(const std::u16string& section, const std::u16string& ident,
                                       const std::u16string& defaultValue) {
  std::u16string value;
  if (FData->Read(section, ident, value)) return value;
  return defaultValue;
}

void TMemIniFile::WriteString(const std::u16string& section, const std::u16string& ident, const std::u16string& value) {
  if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value))
    throw EIniLineBreakError(FullPath(FileName()));
  if (HasLoneSurrogate(section) || HasLoneSurrogate(ident) || HasLoneSurrogate(value))
    throw EIniSurrogateError(FullPath(FileName()));
  FData->Write(section, ident, value);
}

void TMemIniFile::ReadSectionValues(const std::u16string& section, std::vector<std::u16string>& strings) {
  FData->SectionLines(section, strings);
}

void TMemIniFile::EraseSection(const std::u16string& section) { FData->Erase(section); }

void TMemIniFile::UpdateFile() {
  try {
    WriteFileSafely(platform::Current().Files(), FileName(), FExisted,
                    [this](const TContentWriter& write) { FData->Serialize(write); });
    FExisted = true;
  } catch (const platform::EOSError& error) {
    throw EIniCreateError(FullPath(FileName()), error.SystemText());
  }
}

}  // namespace settings
