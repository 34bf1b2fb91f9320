#include "Arguments.h"

namespace halvorn {

bool ParseArguments(const std::vector<std::u16string>& args, TArguments& parsed, std::u16string& error) {
  parsed = {};
  bool haveDocument = false;
  bool havePdf = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (arg == u"-o" || arg == u"-O") {
      if (havePdf || i + 1 >= args.size()) {
        error = havePdf ? u"-o given twice" : u"-o needs the PDF path";
        return false;
      }
      parsed.Pdf = args[++i];
      havePdf = true;
    } else if (arg == u"-b" || arg == u"-B") {
      parsed.Batch = true;
    } else if (!haveDocument && !arg.empty()) {
      parsed.Document = arg;
      haveDocument = true;
    } else {
      error = u"unexpected argument: " + arg;
      return false;
    }
  }
  if (!haveDocument || !havePdf || parsed.Pdf.empty()) {
    error = u"usage: Halvorn \"<document>\" -o \"<pdf>\" [-b]";
    return false;
  }
  return true;
}

}  // namespace halvorn
