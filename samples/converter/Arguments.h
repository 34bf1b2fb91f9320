#pragma once
// The converter's command line: "<document>" -o "<pdf>" [-b].
#include <string>
#include <vector>

namespace halvorn {

struct TArguments {
  std::u16string Document;  // exactly as given
  std::u16string Pdf;
  bool Batch = false;  // -b: no message boxes, failures show only in the exit code
};

// args without the program's own name; false with a reason when they do not fit.
bool ParseArguments(const std::vector<std::u16string>& args, TArguments& parsed, std::u16string& error);

}  // namespace halvorn
