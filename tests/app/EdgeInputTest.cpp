// Input at the edges of the main window: very long paths and titles, blanks and non-ASCII
// characters in the document path. Each gives a clear result.
#include "app/AppFixture.h"

namespace quorvel_test {
namespace {

class EdgeInput : public TAppTest {
 protected:
  // Refer picks the path; the converter's command line as the shell got it.
  std::u16string ReferCommandLine(app::TfrmMain& form, const std::u16string& document) {
    Os().DialogsImpl.OnOpenFile = [document](const platform::TOpenDialogRequest&, std::u16string& chosen) {
      chosen = document;
      return true;
    };
    Os().ShellImpl.Requests.clear();
    form.actRefer.Execute();
    return Os().ShellImpl.Requests.empty() ? u"(not started)" : Os().ShellImpl.Requests.back().Parameters;
  }
  // Closes the window and starts the program again, which restores the document.
  app::TfrmMain& Restart(app::TfrmMain& form) {
    form.UserClose();
    return Start();
  }
};

TEST_F(EdgeInput, DocumentPathsOfEveryLengthAndCharacterReachTheConverterAndComeBack) {
  WriteFile(Dir / "Halvorn.exe", "stand-in");
  const std::u16string folder = u"C:\\申請 書類\\";
  struct TCase {
    const char* Name;
    std::u16string Document;
    std::u16string Pdf;
  };
  const TCase cases[] = {
      {"blanks and non-ASCII", folder + u"日本語 ファイル ü.zip", folder + u"日本語 ファイル ü.pdf"},
      {"outside the basic plane", u"C:\\\U0001F600 x\\\U00020B9F.xml", u"C:\\\U0001F600 x\\\U00020B9F.pdf"},
      {"260 characters", u"C:\\" + std::u16string(252, u'p') + u".zip", u"C:\\" + std::u16string(252, u'p') + u".pdf"},
      {"32767 characters", u"\\\\?\\C:\\" + std::u16string(32756, u'q') + u".zip",
       u"\\\\?\\C:\\" + std::u16string(32756, u'q') + u".pdf"},
      {"a megabyte", u"C:\\" + std::u16string(1 << 20, u'r') + u".xml",
       u"C:\\" + std::u16string(1 << 20, u'r') + u".pdf"},
      {"a quote inside", u"C:\\a\"b.zip", u"C:\\a\"b.pdf"},
  };
  for (const TCase& c : cases) {
    app::TfrmMain& form = Start();
    EXPECT_EQ(ReferCommandLine(form, c.Document), u"\"" + c.Document + u"\" -o \"" + c.Pdf + u"\" -b") << c.Name;
    EXPECT_EQ(form.PFileName(), c.Pdf) << c.Name;
    EXPECT_EQ(form.CurrentIni(), nullptr) << c.Name;
    app::TfrmMain& again = Restart(form);
    EXPECT_EQ(again.DFileName(), c.Document) << c.Name << ": restored exactly";
    EXPECT_EQ(again.edtFileName.Text(), c.Document) << c.Name;
    EXPECT_TRUE(Os().DialogsImpl.Errors.empty()) << c.Name;
    again.UserClose();
    Form.reset();
    std::filesystem::remove(IniPath());
  }
}

TEST_F(EdgeInput, TitlesLongerThanTheBufferAreReadToTheirFirst99Characters) {
  app::TfrmMain& form = Start();
  const std::u16string longName = std::u16string(100, u'n') + u".pdf";
  struct TCase {
    const char* Name;
    std::u16string Previous;  // the document whose PDF is stale
    std::vector<platform::standin::TStandInWindows::TWindow> Windows;
    std::vector<platform::THandle> Closed;
  };
  const TCase cases[] = {
      {"a huge title, the name first",
       u"D:\\a.zip",
       {{0x1, u"a.pdf" + std::u16string(100000, u' ')}, {0x2, std::u16string(100000, u'z') + u"a.pdf"}},
       {0x1}},
      {"a PDF name longer than any title read",
       u"D:\\" + std::u16string(100, u'n') + u".zip",
       {{0x3, longName}, {0x4, longName + u" - Viewer"}, {0x5, u""}},
       {}},
      {"empty titles", u"D:\\a.zip", {{0x6, u""}, {0x7, u""}}, {}},
  };
  for (const TCase& c : cases) {
    form.SetDFileName(c.Previous);
    form.SetDFileName(u"D:\\next.zip");
    Os().WindowsImpl.TopLevel = c.Windows;
    Os().WindowsImpl.Posted.clear();
    form.actBrowse.Execute();
    EXPECT_EQ(Os().WindowsImpl.Posted, c.Closed) << c.Name;
  }
}

}  // namespace
}  // namespace quorvel_test
