// The sample converter: reads a document, writes a one-page PDF about it and describes the
// document in section main of Halvorn.ini in the current directory. It creates no window
// before it has written both, so a caller that waits for it to idle finds them in place.
#include <windows.h>
#include <shellapi.h>

#include <stdexcept>

#include "Arguments.h"
#include "Document.h"
#include "FileIo.h"
#include "IniMain.h"
#include "Pdf.h"
#include "Utf.h"

namespace {

using namespace halvorn;

enum TExitCode { cOk = 0, cUsage = 1, cDocument = 2, cOutput = 3, cSettings = 4 };

const std::u16string cIniName = u"Halvorn.ini";

std::u16string FileNamePart(const std::u16string& path) {
  std::size_t cut = path.find_last_of(u"\\/:");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

std::u16string FolderPart(const std::u16string& path) {
  std::size_t cut = path.find_last_of(u"\\/:");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

std::u16string OrNotFound(const std::u16string& value) { return value.empty() ? u"(not found)" : value; }

std::u16string Now() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  auto two = [](int n) {
    return std::u16string{static_cast<char16_t>(u'0' + n / 10), static_cast<char16_t>(u'0' + n % 10)};
  };
  std::string year = std::to_string(time.wYear);
  return FromUtf8(year) + u"-" + two(time.wMonth) + u"-" + two(time.wDay) + u" " + two(time.wHour) + u":" +
         two(time.wMinute) + u":" + two(time.wSecond);
}

std::vector<TPdfLine> PdfLines(const TArguments& args, const TDocumentFields& fields) {
  std::vector<TPdfLine> lines = {
      {u"Halvorn sample conversion", 20},
      {u"", 12},
      {u"Document: " + FileNamePart(args.Document), 14},
      {u"Folder: " + FolderPart(FullPath(args.Document)), 10},
  };
  if (!fields.Source.empty()) lines.push_back({u"Read from: " + fields.Source, 10});
  lines.push_back({u"", 12});
  lines.push_back({u"License: " + OrNotFound(fields.License), 14});
  lines.push_back({u"Application: " + OrNotFound(fields.Application), 14});
  lines.push_back({u"Callsign: " + OrNotFound(fields.Callsign), 14});
  lines.push_back({u"", 12});
  lines.push_back({u"Converted " + Now(), 10});
  return lines;
}

int Convert(const TArguments& args, std::u16string& message) {
  TDocumentFields fields;
  try {
    std::optional<std::string> document = ReadWholeFile(args.Document);
    if (!document) {
      message = u"No document at " + args.Document;
      return cDocument;
    }
    fields = ReadDocument(*document);
  } catch (const std::exception& error) {
    message = FromUtf8(error.what());
    return cDocument;
  }
  try {
    WriteFileSafely(args.Pdf, MakePdf(FileNamePart(args.Document), PdfLines(args, fields)));
  } catch (const std::exception& error) {
    message = FromUtf8(error.what());
    return cOutput;
  }
  try {
    std::u16string ini = FullPath(cIniName);
    std::string bytes = ReadWholeFile(ini).value_or(std::string());
    bytes = SetMainEntries(bytes, {{u"filename", args.Document},
                                   {u"license", fields.License},
                                   {u"application", fields.Application},
                                   {u"callsign", fields.Callsign}});
    WriteFileSafely(ini, bytes);
  } catch (const std::exception& error) {
    message = FromUtf8(error.what());
    return cSettings;
  }
  message = u"Wrote " + args.Pdf;
  return cOk;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> args;
  for (int i = 1; argv && i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  LocalFree(argv);

  TArguments parsed;
  std::u16string message;
  int code = ParseArguments(args, parsed, message) ? Convert(parsed, message) : cUsage;
  bool batch = parsed.Batch;
  for (const std::u16string& arg : args) batch = batch || arg == u"-b" || arg == u"-B";
  if (!batch)
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(message.c_str()), L"Halvorn",
                code == cOk ? MB_ICONINFORMATION : MB_ICONERROR);
  return code;
}
