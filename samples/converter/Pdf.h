#pragma once
// A one-page PDF of text lines: Helvetica for Latin text, a standard Japanese font for the rest.
#include <string>
#include <vector>

namespace halvorn {

struct TPdfLine {
  std::u16string Text;
  int Size = 12;  // points
};

// The whole file, cross-reference table included.
std::string MakePdf(const std::u16string& title, const std::vector<TPdfLine>& lines);

}  // namespace halvorn
