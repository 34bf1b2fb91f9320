// The converter run, the PDF's opening through the shell's association and the closing of
// stale viewers, on the real Win32 backend with a stand-in converter and a stand-in viewer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Win32Fixture.h"
#include "app/uMain.h"
#include "platform/Platform.h"

namespace {

using namespace quorvel_test;

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::vector<std::wstring> LogLines(const std::wstring& path) {
  std::vector<std::wstring> lines;
  const std::wstring text = FromUtf8(ReadBytes(path));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::u16string Quoted(const std::u16string& path) {
  std::u16string quoted(1, u'"');
  quoted.append(path);
  quoted.push_back(u'"');
  return quoted;
}

bool HasLine(const std::vector<std::wstring>& lines, const std::wstring& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t CountStarting(const std::vector<std::wstring>& lines, const std::wstring& prefix) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; }));
}

// The value after "key=" of the first line that starts so.
std::wstring Field(const std::vector<std::wstring>& lines, const std::wstring& key) {
  for (const std::wstring& line : lines)
    if (line.rfind(key + L"=", 0) == 0) return line.substr(key.size() + 1);
  return L"<none>";
}

class Win32Convert : public TWin32Test {
 protected:
  void SetUp() override {
    TWin32Test::SetUp();
    DeleteFileW(ViewerLog().c_str());
  }
  void TearDown() override {
    CloseAll(L"QuorvelStandInViewer");
    CloseAll(L"QuorvelStandInConverter");
    // The stand-ins must be gone before their folder can be removed.
    PumpUntil([] {
      return !FindWindowW(L"QuorvelStandInViewer", nullptr) && !FindWindowW(L"QuorvelStandInConverter", nullptr);
    });
    Sleep(200);
    TWin32Test::TearDown();
  }
  static std::wstring ViewerLog() { return OwnFolder() + L"\\StandInViewer.log"; }
  std::wstring ConverterLog() const { return InDir(L"Halvorn.log"); }
  void InstallConverter() {
    ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\StandInConverter.exe").c_str(), InDir(L"Halvorn.exe").c_str(), FALSE));
  }
  static void CloseAll(const wchar_t* windowClass) {
    while (HWND window = FindWindowW(windowClass, nullptr)) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      PumpUntil([&] { return !IsWindow(window); }, 5000);
    }
  }
};

TEST_F(Win32Convert, BrowseRunsTheConverterHiddenOpensThePdfAndShowsWhatTheConverterWrote) {
  InstallConverter();
  const std::wstring folder = NewFolder(L"書類 a");
  const std::wstring document = folder + L"\\申請 1.xml";
  WriteBytes(document, "busy-ms=300\nlinger-ms=3000\nlicense=L-77\napplication=App 9\ncallsign=JA1ZZZ\n");
  WriteIni("[main]\r\nfilename=" + std::string() + "\r\n");
  app::TfrmMain& form = Start();
  form.SetDFileName(Narrow16(document));
  const std::wstring pdf = folder + L"\\申請 1.pdf";
  ASSERT_EQ(Wide(form.PFileName()), pdf);

  form.actBrowseExecute();

  // The converter ran once, hidden, with the exact command line, and is idle but still running.
  const std::vector<std::wstring> converter = LogLines(ConverterLog());
  EXPECT_EQ(CountStarting(converter, L"start "), 1u);
  EXPECT_EQ(Field(converter, L"parameters"), L"\"" + document + L"\" -o \"" + pdf + L"\" -b");
  EXPECT_EQ(Field(converter, L"show"), L"0");
  EXPECT_EQ(Field(converter, L"cwd"), Dir());
  EXPECT_TRUE(HasLine(converter, L"idle")) << "the wait ends once the converter is ready for input";
  EXPECT_FALSE(HasLine(converter, L"exit")) << "the wait does not last until the converter ends";

  // The viewer the association names got the quoted PDF path, and its window shows the name.
  ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"QuorvelStandInViewer", nullptr) != nullptr; }));
  const std::vector<std::wstring> viewer = LogLines(ViewerLog());
  ASSERT_EQ(CountStarting(viewer, L"open "), 1u);
  EXPECT_NE(viewer[0].find(L"show=0 file=" + pdf), std::wstring::npos) << viewer[0];
  EXPECT_EQ(Text(FindWindowW(L"QuorvelStandInViewer", nullptr)), L"申請 1.pdf - StandInViewer");

  // Brought to the front, left an ordinary window, and showing the licence the converter wrote.
  EXPECT_EQ(GetForegroundWindow(), Hwnd(form));
  EXPECT_FALSE(GetWindowLongW(Hwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(Text(Hwnd(form.edtLicense)), L"L-77");
  EXPECT_EQ(Text(Hwnd(form.edtApplication)), L"App 9");
  EXPECT_EQ(Text(Hwnd(form.edtCallsign)), L"JA1ZZZ");
}

TEST_F(Win32Convert, AMissingConverterIsReportedAndNothingStarts) {
  // A converter beside the test program does not count: only the current directory's.
  const std::wstring document = InDir(L"a.xml");
  WriteBytes(document, "license=X\n");
  app::TfrmMain& form = Start();
  form.SetDFileName(Narrow16(document));
  TDialogAnswerer answerer;
  form.actBrowseExecute();
  ASSERT_TRUE(answerer.Answered());
  EXPECT_EQ(answerer.Title, L"確認");
  EXPECT_TRUE(std::find(answerer.Texts.begin(), answerer.Texts.end(), L"実行ファイルが見つかりません") !=
              answerer.Texts.end());
  EXPECT_TRUE(LogLines(ViewerLog()).empty());
  EXPECT_EQ(Text(Hwnd(form.edtLicense)), L"");
}

TEST_F(Win32Convert, ConverterWithoutPdfIsReported) {
  InstallConverter();
  const std::wstring document = InDir(L"a.xml");
  WriteBytes(document, "pdf=no\nlicense=NEW\n");
  app::TfrmMain& form = Start();
  form.SetDFileName(Narrow16(document));
  TDialogAnswerer answerer;
  form.actBrowseExecute();
  ASSERT_TRUE(answerer.Answered());
  EXPECT_TRUE(std::find(answerer.Texts.begin(), answerer.Texts.end(), L"PDFファイルが見つかりません") !=
              answerer.Texts.end());
  EXPECT_TRUE(LogLines(ViewerLog()).empty());
  EXPECT_EQ(Text(Hwnd(form.edtLicense)), L"") << "the licence is not read again";
}

// A window of this process with a given title that counts the close requests it gets.
class TCountingWindow {
 public:
  explicit TCountingWindow(const std::wstring& title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuorvelTestCounting";
    RegisterClassW(&windowClass);
    FWindow = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TCountingWindow() { DestroyWindow(FWindow); }
  int Closes = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
      if (auto* self = reinterpret_cast<TCountingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))) ++self->Closes;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND FWindow;
};

TEST_F(Win32Convert, ViewersOfThePreviousPdfAreAskedToCloseAndNoOthers) {
  app::TfrmMain& form = Start();
  WriteBytes(InDir(L"a.pdf"), "%PDF-1.4\n");
  WriteBytes(InDir(L"b.pdf"), "%PDF-1.4\n");
  const platform::THandle handle = form.Handle();
  for (const wchar_t* pdf : {L"a.pdf", L"a.pdf", L"b.pdf"})
    ASSERT_GT(app::RunExeFile(handle, Quoted(Narrow16(InDir(pdf))), u"", u""), 32u);
  ASSERT_TRUE(PumpUntil([] { return CountStarting(LogLines(ViewerLog()), L"open ") == 3; }));
  TCountingWindow otherCase(L"A.PDF - other program");
  std::wstring ownTitle = L"a.pdf - ";
  ownTitle.append(Wide(form.GetAppName()));
  TCountingWindow ownName(ownTitle);
  TCountingWindow beyond(std::wstring(95, L'x') + L"a.pdf");  // the name lies beyond the 99 characters read

  // Setting b after a leaves a's PDF as the previous one; Browse closes its viewers first.
  form.SetDFileName(Narrow16(InDir(L"a.xml")));
  form.SetDFileName(Narrow16(InDir(L"b.xml")));
  ASSERT_EQ(Wide(form.GetExPFileName()), InDir(L"a.pdf"));
  TDialogAnswerer answerer;  // b.xml does not exist: the action stops after the closing step
  form.actBrowseExecute();
  ASSERT_TRUE(answerer.Answered());

  ASSERT_TRUE(PumpUntil([] { return CountStarting(LogLines(ViewerLog()), L"WM_CLOSE ") == 2; }));
  PumpUntil([] { return false; }, 300);  // time for a wrong close request to arrive too
  const std::vector<std::wstring> viewer = LogLines(ViewerLog());
  EXPECT_EQ(CountStarting(viewer, L"WM_CLOSE "), 2u);
  EXPECT_TRUE(FindWindowW(nullptr, L"b.pdf - StandInViewer")) << "b's viewer stays";
  EXPECT_FALSE(FindWindowW(nullptr, L"a.pdf - StandInViewer"));
  EXPECT_EQ(otherCase.Closes, 0);
  EXPECT_EQ(ownName.Closes, 0);
  EXPECT_EQ(beyond.Closes, 0);
  EXPECT_TRUE(IsWindow(Hwnd(form)));
}

TEST_F(Win32Convert, ReferTakesTheChosenDocumentAndKeepsTheCurrentDirectory) {
  InstallConverter();
  const std::wstring downloads = NewFolder(L"downloads");
  const std::wstring document = downloads + L"\\申請.xml";
  WriteBytes(document, "license=R-1\n");
  // A converter beside the document must never be the one that runs.
  ASSERT_TRUE(
      CopyFileW((OwnFolder() + L"\\StandInConverter.exe").c_str(), (downloads + L"\\Halvorn.exe").c_str(), FALSE));
  app::TfrmMain& form = Start();
  TDialogAnswerer chooser([&](HWND dialog) {
    Sleep(300);  // let the dialog finish laying itself out
    // The file-name box of the open dialog (a combo box, id cmb13, or an edit, id edt1).
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name) name = GetDlgItem(dialog, 0x480);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(document.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  form.actReferExecute();
  ASSERT_TRUE(chooser.Answered());
  EXPECT_EQ(Wide(form.DFileName()), document);
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current), Dir()) << "the dialog leaves the current directory alone";
  EXPECT_EQ(CountStarting(LogLines(ConverterLog()), L"start "), 1u) << "the current directory's converter ran";
  EXPECT_TRUE(LogLines(downloads + L"\\Halvorn.log").empty()) << "the converter beside the document did not";
  EXPECT_EQ(Text(Hwnd(form.edtLicense)), L"");  // read as the file stood before the run
}

TEST_F(Win32Convert, AProcessThatNeverIdlesEndsTheWaitAtOnce) {
  // A console program has no message queue: the first wait fails and the loop ends.
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  app::TfrmMain& form = Start();
  const std::uint32_t result =
      app::RunExeFile(form.Handle(), Narrow16(std::wstring(system) + L"\\cmd.exe"), u"/c exit 0", u"");
  EXPECT_GT(result, 32u);
}

}  // namespace
