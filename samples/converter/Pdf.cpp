#include "Pdf.h"

namespace halvorn {

namespace {

constexpr int cPageWidth = 595;  // A4 in points
constexpr int cPageHeight = 842;
constexpr int cMargin = 56;

// Characters WinAnsiEncoding gives the same code as Latin-1.
bool IsLatin(char16_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF); }

std::string LatinString(std::u16string_view text) {
  std::string out = "(";
  for (char16_t c : text) {
    if (c == u'(' || c == u')' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += '\\';
      for (int shift = 6; shift >= 0; shift -= 3) out += static_cast<char>('0' + (c >> shift & 7));
    }
  }
  return out + ")";
}

// UCS-2 code units as the font's UniJIS-UCS2-H encoding takes them; characters beyond the
// basic plane, which it cannot show, become the geta mark.
std::string UnicodeString(std::u16string_view text) {
  std::string out = "<";
  for (char16_t c : text) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (c >= 0xDC00) continue;
      c = u'\u3013';
    }
    for (int shift = 12; shift >= 0; shift -= 4) out += "0123456789ABCDEF"[c >> shift & 0xF];
  }
  return out + ">";
}

// A text string of the document information: UTF-16BE after its byte-order mark.
std::string InfoString(std::u16string_view text) { return "<FEFF" + UnicodeString(text).substr(1); }

std::string Content(const std::vector<TPdfLine>& lines) {
  std::string out;
  int y = cPageHeight - cMargin;
  for (const TPdfLine& line : lines) {
    y -= line.Size + line.Size / 2;
    out += "BT " + std::to_string(cMargin) + " " + std::to_string(y) + " Td\n";
    std::u16string_view rest = line.Text;
    while (!rest.empty()) {
      bool latin = IsLatin(rest[0]);
      std::size_t run = 1;
      while (run < rest.size() && IsLatin(rest[run]) == latin) ++run;
      out += latin ? "/F1 " : "/F2 ";
      out += std::to_string(line.Size) + " Tf ";
      out += latin ? LatinString(rest.substr(0, run)) : UnicodeString(rest.substr(0, run));
      out += " Tj\n";
      rest.remove_prefix(run);
    }
    out += "ET\n";
  }
  return out;
}

}  // namespace

std::string MakePdf(const std::u16string& title, const std::vector<TPdfLine>& lines) {
  std::string content = Content(lines);
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(cPageWidth) + " " + std::to_string(cPageHeight) +
          "] /Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents 8 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
      "<< /Type /Font /Subtype /Type0 /BaseFont /HeiseiKakuGo-W5 /Encoding /UniJIS-UCS2-H /DescendantFonts [6 0 R] >>",
      "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /HeiseiKakuGo-W5"
      " /CIDSystemInfo << /Registry (Adobe) /Ordering (Japan1) /Supplement 2 >> /FontDescriptor 7 0 R /DW 1000 >>",
      "<< /Type /FontDescriptor /FontName /HeiseiKakuGo-W5 /Flags 4 /FontBBox [-92 -250 1010 922]"
      " /ItalicAngle 0 /Ascent 752 /Descent -221 /CapHeight 737 /StemV 114 >>",
      "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
      "<< /Title " + InfoString(title) + " /Producer (Halvorn sample converter) >>",
  };
  // The second line's high bytes mark the file as binary for tools that sniff it.
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f\r\n";
  for (std::size_t offset : offsets) {
    std::string digits = std::to_string(offset);
    pdf += std::string(10 - digits.size(), '0') + digits + " 00000 n\r\n";
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 9 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace halvorn
