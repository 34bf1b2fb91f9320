#include "IniMain.h"

#include "Utf.h"

namespace halvorn {

namespace {

const std::string cBom = "\xEF\xBB\xBF";

struct TLine {
  std::string Text;  // without its line end
  std::string End;   // "\r\n", "\r", "\n" or empty for a last line without one
};

std::vector<TLine> SplitLines(std::string_view bytes) {
  std::vector<TLine> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back({std::string(bytes.substr(start)), ""});
      break;
    }
    std::size_t endLength = bytes.substr(end, 2) == "\r\n" ? 2 : 1;
    lines.push_back({std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, endLength))});
    start = end + endLength;
  }
  return lines;
}

// Every byte up to 0x20 is a character up to U+0020 in UTF-8, so trimming works on bytes.
std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

// Simple upper-case mapping where it can reach ASCII: the dotless i and the long s map to I and S.
char16_t Fold(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c == u'\u0131') return u'I';
  if (c == u'\u017F') return u'S';
  return c;
}

bool SameName(std::string_view utf8, const std::u16string& name) {
  std::u16string text = FromUtf8(utf8);
  if (text.size() != name.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (Fold(text[i]) != Fold(name[i])) return false;
  return true;
}

bool IsHeader(std::string_view trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

bool IsMainHeader(const TLine& line) {
  std::string_view trimmed = Trim(line.Text);
  return IsHeader(trimmed) && SameName(Trim(trimmed.substr(1, trimmed.size() - 2)), u"main");
}

// The name of an entry line, or false for headers, comments, empty and text lines.
bool EntryName(const TLine& line, std::string_view& name) {
  std::string_view trimmed = Trim(line.Text);
  if (trimmed.empty() || trimmed.front() == ';' || IsHeader(trimmed)) return false;
  std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return false;
  name = Trim(trimmed.substr(0, equals));
  return true;
}

}  // namespace

std::string SetMainEntries(std::string_view fileBytes, const TEntries& entries) {
  bool newFile = fileBytes.empty();
  bool bom = newFile || fileBytes.starts_with(cBom);
  if (fileBytes.starts_with(cBom)) fileBytes.remove_prefix(cBom.size());
  std::vector<TLine> lines = SplitLines(fileBytes);
  std::string lineEnd = "\r\n";
  for (const TLine& line : lines)
    if (!line.End.empty()) {
      lineEnd = line.End;
      break;
    }

  std::size_t header = 0;
  while (header < lines.size() && !IsMainHeader(lines[header])) ++header;
  if (header == lines.size()) {
    if (!lines.empty() && lines.back().End.empty()) lines.back().End = lineEnd;
    if (!lines.empty() && !Trim(lines.back().Text).empty()) lines.push_back({"", lineEnd});
    lines.push_back({"[main]", lineEnd});
    header = lines.size() - 1;
  }
  for (const auto& [key, value] : entries) {
    std::string text = ToUtf8(key) + "=" + ToUtf8(value);
    std::size_t last = header;  // the section's last non-empty line
    std::size_t at = header + 1;
    bool replaced = false;
    for (; at < lines.size() && !IsHeader(Trim(lines[at].Text)); ++at) {
      std::string_view name;
      if (EntryName(lines[at], name) && SameName(name, key)) {
        lines[at].Text = text;
        replaced = true;
        break;
      }
      if (!Trim(lines[at].Text).empty()) last = at;
    }
    if (replaced) continue;
    if (lines[last].End.empty()) lines[last].End = lineEnd;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), TLine{text, lineEnd});
  }

  std::string out = bom ? cBom : std::string();
  for (const TLine& line : lines) out += line.Text + line.End;
  return out;
}

}  // namespace halvorn
