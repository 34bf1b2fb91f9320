#pragma once
// The settings file's rules written out plainly, line by line, as an oracle for the fuzz
// targets: what a load must find, and the exact bytes a flush must write. It works on the bytes
// and searches front to back, where the object decodes the text and searches through its
// indexes, so the two can still disagree on the decoding, the encoding and the first match.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "platform/UnicodeCase.h"

namespace quorvel_fuzz {

struct TRefLine {
  bool Entry = false;
  std::string Name;  // an entry's name, or the whole text line
  std::string Value;
};

struct TRefSection {
  std::string Name;
  std::vector<TRefLine> Lines;
};

inline std::string_view RefTrim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

// Valid UTF-8 only (the load refuses anything else).
inline std::vector<TRefSection> RefParse(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::vector<TRefSection> sections;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::string_view line = RefTrim(bytes.substr(pos, end - pos));
    pos = end;
    if (pos < bytes.size()) pos += (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') ? 2 : 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({std::string(RefTrim(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    if (sections.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      sections.back().Lines.push_back({false, std::string(line), ""});
    } else {
      sections.back().Lines.push_back(
          {true, std::string(RefTrim(line.substr(0, equals))), std::string(RefTrim(line.substr(equals + 1)))});
    }
  }
  return sections;
}

inline std::u16string RefUpper(const std::u16string& text) { return platform::UpperCaseText(text); }

inline bool RefSameName(const std::string& a, const std::u16string& b) {
  return RefUpper(platform::FromUtf8(a)) == RefUpper(b);
}

inline const TRefSection* RefFindSection(const std::vector<TRefSection>& sections, const std::u16string& name) {
  for (const TRefSection& section : sections)
    if (RefSameName(section.Name, name)) return &section;
  return nullptr;
}

inline const TRefLine* RefFindEntry(const TRefSection& section, const std::u16string& name) {
  for (const TRefLine& line : section.Lines)
    if (line.Entry && RefSameName(line.Name, name)) return &line;
  return nullptr;
}

// What ReadSectionValues lists.
inline std::vector<std::u16string> RefSectionValues(const TRefSection& section) {
  std::vector<std::u16string> lines;
  for (const TRefLine& line : section.Lines)
    lines.push_back(platform::FromUtf8(line.Entry ? line.Name + "=" + line.Value : line.Name));
  return lines;
}

// What a flush of the loaded sections writes.
inline std::string RefSerialize(const std::vector<TRefSection>& sections) {
  std::string out = "\xEF\xBB\xBF";
  for (const TRefSection& section : sections) {
    out += "[" + section.Name + "]\r\n";
    for (const TRefLine& line : section.Lines) out += (line.Entry ? line.Name + "=" + line.Value : line.Name) + "\r\n";
    out += "\r\n";
  }
  return out;
}

}  // namespace quorvel_fuzz
