#include "app/VersionInfo.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "platform/Exception.h"
#include "platform/Platform.h"

namespace app {

namespace {

// Each "%0.4s" of the pattern takes the next text, at most its first four characters.
std::u16string FillFourCharFields(std::u16string_view pattern, std::initializer_list<std::u16string_view> texts) {
  constexpr std::u16string_view field = u"%0.4s";
  std::u16string result;
  const std::u16string_view* next = texts.begin();
  while (!pattern.empty()) {
    if (pattern.starts_with(field) && next != texts.end()) {
      result += (next++)->substr(0, 4);
      pattern.remove_prefix(field.size());
    } else {
      result += pattern.front();
      pattern.remove_prefix(1);
    }
  }
  return result;
}

std::u16string Hex4(std::uint16_t value) {
  constexpr char16_t digits[] = u"0123456789ABCDEF";
  std::u16string text(4, u'0');
  for (int i = 3; i >= 0; --i, value >>= 4) text[i] = digits[value & 0xF];
  return text;
}

// Little-endian, as stored; bytes missing at the value's end read as zero.
std::uint32_t FirstDword(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

}  // namespace

std::u16string GetVersionInfo(const std::u16string& ExeName, TVerResourceKey KeyWord) {
  const std::u16string_view Translation = u"\\VarFileInfo\\Translation";
  const std::u16string_view FileInfo = u"\\StringFileInfo\\%0.4s%0.4s\\";
  std::u16string result;
  platform::IApplication& app = platform::Current().App();
  // The buffer is owned here, so it is released on every path, the error's included.
  std::vector<std::uint8_t> buffer = app.ReadVersionBlock(ExeName);
  if (buffer.empty()) return result;
  std::optional<platform::TVersionValue> translation = app.QueryVersionValue(buffer, std::u16string(Translation));
  if (!translation || translation->Length == 0) throw platform::Exception(u"情報の取得に失敗しました");
  // Only the table's own bytes: those after it may belong to the next block.
  const std::size_t tableBytes = std::min<std::size_t>(translation->Length, translation->Bytes.size());
  std::uint32_t first = FirstDword(translation->Bytes.first(tableBytes));
  std::u16string path = FillFourCharFields(
      FileInfo, {Hex4(static_cast<std::uint16_t>(first & 0xFFFF)), Hex4(static_cast<std::uint16_t>(first >> 16))});
  path += cKeyWordStr[KeyWord];
  std::optional<platform::TVersionValue> value = app.QueryVersionValue(buffer, path);
  if (!value || value->Length == 0) return result;
  // The stored length counts the terminating null; a value cut short by the block stays short.
  std::size_t count = std::min<std::size_t>(value->Length - 1, value->Bytes.size() / 2);
  result.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    result += static_cast<char16_t>(value->Bytes[2 * i] | (value->Bytes[2 * i + 1] << 8));
  return result;
}

}  // namespace app
