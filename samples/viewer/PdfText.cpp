#include "PdfText.h"

namespace viewer {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A literal string from just after its "(": Latin-1 bytes with backslash escapes.
std::u16string Literal(std::string_view content, std::size_t& at) {
  std::u16string text;
  int depth = 1;
  while (at < content.size()) {
    char c = content[at++];
    if (c == '\\' && at < content.size()) {
      char next = content[at++];
      if (next >= '0' && next <= '7') {
        int value = next - '0';
        for (int k = 0; k < 2 && at < content.size() && content[at] >= '0' && content[at] <= '7'; ++k)
          value = value * 8 + (content[at++] - '0');
        text.push_back(static_cast<char16_t>(value & 0xFF));
      } else {
        text.push_back(static_cast<char16_t>(next == 'n' ? '\n' : static_cast<unsigned char>(next)));
      }
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) break;
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
  return text;
}

// A hexadecimal string from just after its "<": UTF-16BE code units.
std::u16string Hex(std::string_view content, std::size_t& at) {
  std::u16string text;
  unsigned unit = 0;
  int digits = 0;
  while (at < content.size() && content[at] != '>') {
    int digit = HexDigit(content[at++]);
    if (digit < 0) continue;
    unit = unit << 4 | static_cast<unsigned>(digit);
    if (++digits == 4) {
      text.push_back(static_cast<char16_t>(unit));
      unit = 0;
      digits = 0;
    }
  }
  ++at;
  return text;
}

}  // namespace

std::vector<std::u16string> PdfTextLines(std::string_view pdf) {
  std::vector<std::u16string> lines;
  for (std::size_t stream = pdf.find("stream\n"); stream != std::string_view::npos;
       stream = pdf.find("stream\n", stream + 1)) {
    std::size_t end = pdf.find("endstream", stream);
    if (end == std::string_view::npos) break;
    if (stream >= 3 && pdf.substr(stream - 3, 3) == "end") continue;
    std::string_view content = pdf.substr(stream + 7, end - stream - 7);
    std::u16string line;
    bool inText = false;
    for (std::size_t at = 0; at < content.size();) {
      if (content.substr(at, 2) == "BT") {
        inText = true;
        line.clear();
        at += 2;
      } else if (content.substr(at, 2) == "ET" && inText) {
        lines.push_back(line);
        inText = false;
        at += 2;
      } else if (inText && content[at] == '(') {
        ++at;
        line += Literal(content, at);
      } else if (inText && content[at] == '<') {
        ++at;
        line += Hex(content, at);
      } else {
        ++at;
      }
    }
    stream = end;
  }
  return lines;
}

}  // namespace viewer
