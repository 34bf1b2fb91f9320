// A small PDF viewer for the demo folder: it shows the text lines of the simple PDFs that the
// sample converter writes, in a window titled "<file name> - PdfViewer" as viewers name the
// file they show (Quorvel asks such windows to close before the next view).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "FileIo.h"
#include "PdfText.h"
#include "platform/win32/Handles.h"

namespace {

struct TDocument {
  std::wstring Title;
  std::vector<std::wstring> Lines;
};
TDocument gDocument;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

TDocument Open(const std::wstring& path) {
  TDocument document;
  const std::size_t cut = path.find_last_of(L"\\/:");
  document.Title = (cut == std::wstring::npos ? path : path.substr(cut + 1)) + L" - PdfViewer";
  try {
    std::optional<std::string> bytes = halvorn::ReadWholeFile(std::u16string(path.begin(), path.end()));
    if (!bytes) {
      document.Lines.push_back(L"The file cannot be found: " + path);
    } else if (bytes->rfind("%PDF-", 0) != 0) {
      document.Lines.push_back(L"This is not a PDF file: " + path);
    } else {
      for (const std::u16string& line : viewer::PdfTextLines(*bytes)) document.Lines.push_back(Wide(line));
      if (document.Lines.empty()) document.Lines.push_back(L"(This PDF holds no text this viewer can show.)");
    }
  } catch (const std::exception&) {
    document.Lines.push_back(L"The file cannot be read: " + path);
  }
  return document;
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      using namespace platform::win32;
      const TPaint paint(window);
      // Made for this paint and freed at its end, once the selection has put the DC's own font back.
      const TOwnedFont font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
      const TSelection selected(paint.Dc(), font ? font.Get() : GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(paint.Dc(), TRANSPARENT);
      int y = 16;
      for (const std::wstring& line : gDocument.Lines) {
        TextOutW(paint.Dc(), 16, y, line.c_str(), static_cast<int>(line.size()));
        y += 24;
      }
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv || count < 2) {
    MessageBoxW(nullptr, L"Usage: PdfViewer FILE.pdf", L"PdfViewer", MB_OK | MB_ICONINFORMATION);
    return 1;
  }
  gDocument = Open(argv[1]);
  LocalFree(argv);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ViewerProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QuorvelSamplePdfViewer";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, gDocument.Title.c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  // A viewer exists to be seen, whatever show state its starter asked for (the shell passes
  // SW_HIDE). Windows applies that state to a process's first ShowWindow, whatever it asks;
  // the second call shows a window the first one left hidden.
  ShowWindow(window, show);
  if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
