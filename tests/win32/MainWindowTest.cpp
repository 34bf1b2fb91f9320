// The main window as real Win32 controls, read back through Win32 itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Win32Fixture.h"
#include "app/uMain.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/win32/Win32.h"

namespace {

using namespace quorvel_test;

RECT ClientRectIn(HWND child, HWND parent) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What a control draws, read from a metafile of its painting: how many glyphs or characters,
// and the fonts in which it draws a glyph index 0, a TrueType font's missing-glyph box.
struct TDrawnText {
  std::size_t Count = 0;
  std::wstring MissingIn;
};

TDrawnText DrawnText(HWND control) {
  HDC screen = GetDC(control);
  HDC recorder = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(recorder), PRF_CLIENT);
  HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
  ReleaseDC(control, screen);
  struct TState {
    std::map<DWORD, std::wstring> Fonts;  // by the metafile's object index
    std::wstring Font;
    TDrawnText Drawn;
  } state;
  EnumEnhMetaFile(
      nullptr, metafile,
      [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) -> int {
        TState& s = *reinterpret_cast<TState*>(data);
        if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
          const auto* font = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
          s.Fonts[font->ihFont] = font->elfw.elfLogFont.lfFaceName;
        } else if (record->iType == EMR_SELECTOBJECT) {
          auto font = s.Fonts.find(reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject);
          if (font != s.Fonts.end()) s.Font = font->second;
        } else if (record->iType == EMR_EXTTEXTOUTW) {
          const EMRTEXT& text = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext;
          const auto* units = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(record) + text.offString);
          s.Drawn.Count += text.nChars;
          if (!(text.fOptions & ETO_GLYPH_INDEX)) return 1;
          for (DWORD i = 0; i < text.nChars; ++i)
            if (units[i] == 0 && s.Drawn.MissingIn.find(s.Font + L";") == std::wstring::npos)
              s.Drawn.MissingIn += s.Font + L";";
        }
        return 1;
      },
      &state, nullptr);
  DeleteEnhMetaFile(metafile);
  return state.Drawn;
}

// Wine keeps no High Contrast flag (SPI_SETHIGHCONTRAST fails): the test answers SPI_GETHIGHCONTRAST
// in user32's place, through the import that the program calls it by.
extern "C" decltype(&SystemParametersInfoW) __imp_SystemParametersInfoW;
decltype(&SystemParametersInfoW) gSystemSpi = nullptr;
std::atomic<bool> gHighContrast = false;
BOOL WINAPI StandInSpi(UINT action, UINT param, void* data, UINT flags) {
  if (action != SPI_GETHIGHCONTRAST) return gSystemSpi(action, param, data, flags);
  static_cast<HIGHCONTRASTW*>(data)->dwFlags = gHighContrast ? HCF_HIGHCONTRASTON : 0;
  return TRUE;
}

// Whether a pixel of the control, as painted on screen, has this colour.
bool Shows(HWND control, COLORREF colour) {
  RECT client;
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  bool found = false;
  for (LONG y = 0; y < client.bottom && !found; ++y)
    for (LONG x = 0; x < client.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
  ReleaseDC(control, dc);
  return found;
}

using Win32MainWindow = TWin32Test;

TEST_F(Win32MainWindow, WindowStyleSizeAndCaption) {
  WriteIni("[main]\r\ntop=40\r\nleft=50\r\nfilename=C:\\docs\\a.zip\r\n");
  app::TfrmMain& form = Start();
  HWND window = Hwnd(form);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(Text(window), Wide(form.GetAppName()) + L" - a.zip");
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 457);
  EXPECT_EQ(client.bottom, 147);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 40);
  platform::TSize size = form.OuterSize();
  EXPECT_EQ(outer.right - outer.left, size.Width);
  EXPECT_EQ(outer.bottom - outer.top, size.Height);
}

TEST_F(Win32MainWindow, ControlsInPlaceWithTheirCaptionsStatesAndStyles) {
  app::TfrmMain& form = Start();
  HWND window = Hwnd(form);
  struct TExpect {
    platform::TControl* Control;
    const wchar_t* Class;
    RECT Rect;
    const wchar_t* Text;
    bool Enabled;
  };
  const TExpect controls[] = {
      {&form.edtFileName, L"Edit", {72, 14, 372, 35}, L"", true},
      {&form.cbxPDF, L"Button", {72, 120, 217, 137}, L"Output PDF file", true},
      {&form.btnFind, L"Button", {378, 8, 449, 41}, L"&Refer", true},
      {&form.btnBrowse, L"Button", {378, 51, 449, 84}, L"&Browse", false},
      {&form.btnModel, L"Button", {378, 90, 449, 123}, L"&Show Model", true},
      {&form.edtApplication, L"Edit", {72, 41, 289, 62}, L"", true},
      {&form.edtLicense, L"Edit", {72, 68, 289, 89}, L"", true},
      {&form.edtCallsign, L"Edit", {72, 95, 289, 116}, L"", true},
      {&form.lblAbout, L"Static", {222, 129, 449, 142}, L"Ver. ", true},  // the test program has no version resource
  };
  for (const TExpect& e : controls) {
    HWND child = Hwnd(*e.Control);
    ASSERT_EQ(GetParent(child), window) << e.Control->Name;
    EXPECT_EQ(ClassOf(child), e.Class) << e.Control->Name;
    RECT rect = ClientRectIn(child, window);
    EXPECT_EQ(rect.left, e.Rect.left) << e.Control->Name;
    EXPECT_EQ(rect.top, e.Rect.top) << e.Control->Name;
    EXPECT_EQ(rect.right, e.Rect.right) << e.Control->Name;
    EXPECT_EQ(rect.bottom, e.Rect.bottom) << e.Control->Name;
    EXPECT_EQ(Text(child), e.Text) << e.Control->Name;
    EXPECT_EQ(IsWindowEnabled(child) != FALSE, e.Enabled) << e.Control->Name;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma") << e.Control->Name;
    EXPECT_EQ(font.lfHeight, -11) << e.Control->Name;
  }
  // Each label ends 3 pixels left of its box, centred on it, and shows its whole caption on one
  // line in its own font: as the static control wraps it, it needs no more room than it has.
  for (platform::TLabel* label : {&form.lblFileName, &form.lblApplication, &form.lblLicense, &form.lblCallsign}) {
    HWND child = Hwnd(*label);
    const RECT rect = ClientRectIn(child, window);
    const RECT box = ClientRectIn(Hwnd(*label->FocusControl), window);
    EXPECT_EQ(rect.right, box.left - 3) << label->Name;
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (box.top + box.bottom)), 1) << label->Name;
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    const std::wstring caption = Text(child);
    RECT needed{0, 0, rect.right - rect.left, 0};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &needed, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    EXPECT_LE(needed.right, rect.right - rect.left) << label->Name;
    EXPECT_LE(needed.bottom, rect.bottom - rect.top) << label->Name << ": the caption wraps";
  }
  EXPECT_EQ(Text(Hwnd(form.lblFileName)), L"&File name :");
  for (platform::TEdit* edit : {&form.edtApplication, &form.edtLicense, &form.edtCallsign})
    EXPECT_TRUE(GetWindowLongW(Hwnd(*edit), GWL_STYLE) & ES_READONLY) << edit->Name;
  EXPECT_FALSE(GetWindowLongW(Hwnd(form.edtFileName), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(GetWindowLongW(Hwnd(form.btnFind), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(Hwnd(form.btnBrowse), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(Hwnd(form.lblAbout), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
  EXPECT_EQ(SendMessageW(Hwnd(form.cbxPDF), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Enter presses the default button.
  LRESULT def = SendMessageW(window, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(def), DC_HASDEFID);
  EXPECT_EQ(GetDlgItem(window, LOWORD(def)), Hwnd(form.btnFind));
}

// Edit controls shape their text through Uniscribe, whose fallback font for a script the
// box's font lacks must have the glyphs: under Wine the prefix names one.
TEST_F(Win32MainWindow, JapaneseInTheBoxesIsDrawnWithGlyphsItsFontHas) {
  WriteIni("[main]\r\nfilename=C:\\docs\\a.zip\r\napplication=日本語のアプリケーション\r\nlicense=免許ＡＢＣ\r\n");
  app::TfrmMain& form = Start();
  const std::pair<platform::TEdit*, std::wstring> boxes[] = {{&form.edtApplication, L"日本語のアプリケーション"},
                                                             {&form.edtLicense, L"免許ＡＢＣ"}};
  for (const auto& [edit, text] : boxes) {
    ASSERT_EQ(Text(Hwnd(*edit)), text) << edit->Name;
    const TDrawnText drawn = DrawnText(Hwnd(*edit));
    EXPECT_GE(drawn.Count, text.size()) << edit->Name << ": the whole text is drawn";
    EXPECT_EQ(drawn.MissingIn, L"") << edit->Name << ": drawn as boxes in these fonts";
  }
}

// High Contrast on: the labels' blue and the footer's maroon give way to the scheme's text colour,
// at once while the program runs; off again, in whatever scheme, the layout's colours come back.
TEST_F(Win32MainWindow, HighContrastDrawsTheLayoutsTextColoursInTheSchemesTextColour) {
  gSystemSpi = std::exchange(__imp_SystemParametersInfoW, StandInSpi);
  const int elements[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
  const COLORREF saved[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)};
  const COLORREF blue = RGB(0, 0, 255), maroon = RGB(128, 0, 0), yellow = RGB(255, 255, 0);
  app::TfrmMain& form = Start();
  const HWND label = Hwnd(form.lblFileName), footer = Hwnd(form.lblAbout);
  const auto drawnIn = [&](COLORREF labelColour, COLORREF footerColour) {
    return PumpUntil([&] { return Shows(label, labelColour) && Shows(footer, footerColour); });
  };
  EXPECT_TRUE(drawnIn(blue, maroon));
  // As Windows turns it on: the flag, then the scheme's colours, which Wine broadcasts.
  gHighContrast = true;
  const COLORREF scheme[] = {RGB(0, 0, 0), yellow};
  SetSysColors(2, elements, scheme);
  EXPECT_TRUE(drawnIn(yellow, yellow));
  EXPECT_FALSE(Shows(label, blue) || Shows(footer, maroon));
  gHighContrast = false;
  SendMessageW(Hwnd(form), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(drawnIn(blue, maroon));
  SetSysColors(2, elements, saved);
  __imp_SystemParametersInfoW = gSystemSpi;
}

TEST_F(Win32MainWindow, TabOrderRunsThroughTheControlsInTheirOrder) {
  app::TfrmMain& form = Start();
  HWND window = Hwnd(form);
  const platform::TControl* order[] = {
      &form.edtFileName,    &form.cbxPDF,     &form.btnFind,    &form.btnModel,
      &form.edtApplication, &form.edtLicense, &form.edtCallsign};  // Browse is disabled: skipped
  HWND at = Hwnd(form.edtFileName);
  for (std::size_t i = 1; i <= std::size(order); ++i) {
    at = GetNextDlgTabItem(window, at, FALSE);
    EXPECT_EQ(at, Hwnd(*order[i % std::size(order)])) << "after " << order[i - 1]->Name;
  }
}

// The windows a handler writes a text to or enables, and how often.
std::map<HWND, int> gWrites;
LRESULT CALLBACK CountWrites(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && (sent->message == WM_SETTEXT || sent->message == WM_ENABLE)) ++gWrites[sent->hwnd];
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Win32MainWindow, TypingAndClickingReachTheHandlers) {
  app::TfrmMain& form = Start();
  SetWindowTextW(Hwnd(form.edtFileName), L"C:\\docs\\b.xm");
  SendMessageW(Hwnd(form.edtFileName), EM_SETSEL, 14, 14);
  gWrites.clear();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountWrites, nullptr, GetCurrentThreadId());
  SendMessageW(Hwnd(form.edtFileName), WM_CHAR, L'l', 1);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(gWrites, (std::map<HWND, int>{{Hwnd(form), 1}})) << "a keystroke writes the caption once, nothing else";
  EXPECT_EQ(form.DFileName(), u"C:\\docs\\b.xml");
  EXPECT_EQ(Text(Hwnd(form)), Wide(form.GetAppName()) + L" - b.xml");
  EXPECT_TRUE(IsWindowEnabled(Hwnd(form.btnBrowse)));
  EXPECT_EQ(form.PFileName(), u"C:\\docs\\b.pdf");
  SendMessageW(Hwnd(form.cbxPDF), BM_CLICK, 0, 0);
  EXPECT_FALSE(form.cbxPDF.Checked());
  EXPECT_EQ(form.PFileName(), u"C:\\docs\\Quorvel.pdf");
}

TEST_F(Win32MainWindow, CloseWritesTheSettingsFileAndEndsTheLoop) {
  WriteIni("[main]\r\ntop=40\r\nleft=50\r\n");
  app::TfrmMain& form = Start();
  auto& app = static_cast<platform::win32::TWin32App&>(platform::Current().App());
  app.MainWindow = Hwnd(form);
  PostMessageW(Hwnd(form), WM_CLOSE, 0, 0);
  app.ProcessMessages();
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(IsWindowVisible(Hwnd(form)));
  EXPECT_TRUE(app.Terminated()) << "the quit message marks the application as terminating";
  EXPECT_EQ(ReadIni(), "\xEF\xBB\xBF[main]\r\ntop=40\r\nleft=50\r\nfilename=\r\nPDFOut=1\r\n\r\n");
  app.MainWindow = nullptr;
}

// Windows refuses a window whose owner is gone: the form raises the system's reason rather than
// going on without a window.
TEST_F(Win32MainWindow, AWindowWindowsRefusesRaisesTheSystemsReason) {
  platform::TForm owner("owner");
  owner.CreateHandle();
  DestroyWindow(Hwnd(owner));
  platform::TForm dialog("dialog");
  dialog.Owner = &owner;
  try {
    dialog.CreateHandle();
    ADD_FAILURE() << "the window was made";
  } catch (const platform::EOSError& error) {
    EXPECT_EQ(error.Code(), static_cast<unsigned long>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(error.SystemText().empty());
    EXPECT_EQ(error.Message(), u"CreateWindowExW (QuorvelForm): " + error.SystemText());
  }
  EXPECT_EQ(dialog.Peer(), nullptr);
}

// The fixture's guard: a box answered in time goes unreported; one nobody answers is closed,
// so that its modal loop returns, and named.
TEST(Win32StrayBoxGuard, ClosesOnlyTheBoxNobodyAnswers) {
  TStrayBoxGuard guard(std::chrono::milliseconds(1500));
  {
    TDialogAnswerer answerer;
    EXPECT_EQ(MessageBoxW(nullptr, L"answered", L"Answered box", MB_OK), IDOK);
    EXPECT_TRUE(answerer.Answered());
  }
  EXPECT_EQ(guard.Closed(), L"");
  // Should the guard fail, this closes the box after 10 s, so that the test fails rather than hangs.
  std::atomic<bool> backstop = false;
  TDialogAnswerer late([&](HWND box) {
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
    if (IsWindow(box)) {
      backstop = true;
      PostMessageW(box, WM_CLOSE, 0, 0);
    }
  });
  MessageBoxW(nullptr, L"nobody answers", L"Stray box", MB_OKCANCEL);
  EXPECT_FALSE(backstop);
  EXPECT_EQ(guard.Closed(), L"\"Stray box\" ");
}

}  // namespace
