// Show Model table with real Win32 windows: the dialog runs its modal loop on the test's
// thread while a second thread plays the user, posting input and answering message boxes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <imm.h>
#include <oleacc.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Bom.h"
#include "Win32Fixture.h"
#include "app/uMain.h"
#include "model/uModel.h"
#include "platform/ErrorBox.h"
#include "platform/Platform.h"
#include "platform/win32/Win32.h"

namespace {

using namespace quorvel_test;
using platform::win32::TGridQuery;

const std::string cMain = "[main]\r\nfilename=C:\\docs\\a.zip\r\nlicense=LIC-7\r\n\r\n";
const std::string cLicence = "[LIC-7]\r\nunit1=A\r\ncomment1=a\r\nunit2=B\r\n\r\n";
const std::string cOther = "[OTHER]\r\nunit1=keep\r\n\r\n";
constexpr UINT cInvoke = WM_APP + 0x3F0;
constexpr DWORD cDeadlineMs = 10000;

RECT RectIn(HWND child, HWND parent) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The top-level windows of this thread with this class and, if given, this title; only the
// visible ones unless told otherwise.
std::vector<HWND> ThreadWindows(const std::wstring& className, const std::wstring& title = {}, bool hiddenToo = false) {
  struct TSearch {
    std::wstring Class, Title;
    bool HiddenToo;
    std::vector<HWND> Found;
  } search{className, title, hiddenToo, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        if ((s.HiddenToo || IsWindowVisible(window)) && ClassOf(window) == s.Class &&
            (s.Title.empty() || Text(window) == s.Title))
          s.Found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
  for (HWND child : Children(parent))
    if (Text(child) == text) return child;
  return nullptr;
}

// What the grid window shows in a cell (row -1: the titles).
TGridQuery Query(HWND grid, int row, int col) {
  TGridQuery query;
  query.Row = row;
  query.Col = col;
  SendMessageW(grid, platform::win32::cGridQuery, 0, reinterpret_cast<LPARAM>(&query));
  return query;
}

std::wstring CellText(HWND grid, int row, int col) { return Query(grid, row, col).Text; }

// Runs functions on the test's thread from the user's thread, inside whichever modal loop
// runs there. A function must not itself wait for a modal box: it posts input instead.
class TUiDriver {
 public:
  TUiDriver() {
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (message == cInvoke) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorvelTestInvoke";
    RegisterClassExW(&wc);
    FWindow = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  ~TUiDriver() { DestroyWindow(FWindow); }

  void Invoke(std::function<void()> action) { SendMessageW(FWindow, cInvoke, 0, reinterpret_cast<LPARAM>(&action)); }

  // Polls the condition on the test's thread until it holds; false when the deadline passed.
  bool WaitFor(const std::function<bool()>& condition) {
    const DWORD start = GetTickCount();
    for (;;) {
      bool holds = false;
      Invoke([&] { holds = condition(); });
      if (holds) return true;
      if (GetTickCount() - start > cDeadlineMs) return false;
      Sleep(20);
    }
  }

 private:
  HWND FWindow = nullptr;
};

// The shown model dialog of this thread, or none.
model::TfrmModel* ShownDialog() {
  for (HWND window : ThreadWindows(L"QuorvelForm", L"Model Table"))
    if (auto* form = reinterpret_cast<platform::TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      return dynamic_cast<model::TfrmModel*>(form);
  return nullptr;
}

// Presses a button of a message box as a click would.
void PressBoxButton(HWND box, const std::wstring& caption) {
  HWND button = ChildWithText(box, caption);
  ASSERT_NE(button, nullptr) << "no button " << std::string(caption.begin(), caption.end());
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SetCtrlDown(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  keys[VK_LCONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

class Win32ModelDialog : public TWin32Test {
 protected:
  void SetUp() override {
    TWin32Test::SetUp();
    WriteIni(cBom + cMain + cLicence + cOther);
    Start();
    ASSERT_EQ(Form->DLicense(), u"LIC-7");
  }

  // Runs Show Model table with `user` playing the user on a thread of its own. Whatever the
  // user leaves open is closed afterwards, so that a failed step cannot hang the run.
  void ShowModel(const std::function<void(TUiDriver&)>& user) {
    TUiDriver ui;
    std::atomic<bool> done{false};
    std::thread player([&] {
      if (!ui.WaitFor([] { return ShownDialog() != nullptr; })) ui.Invoke([] { ADD_FAILURE() << "no dialog shown"; });
      user(ui);
      ui.Invoke([] {
        for (HWND box : ThreadWindows(L"#32770")) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        if (model::TfrmModel* dialog = ShownDialog(); dialog && dialog->ModalResult == 0) {
          ADD_FAILURE() << "the dialog was left open";
          dialog->ModalResult = 2;
          PostMessageW(Hwnd(*dialog), WM_NULL, 0, 0);
        }
      });
      done = true;
    });
    Form->actShowModel.Execute();
    // The user's thread may still ask for this one.
    while (!done) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    player.join();
  }

  // Types characters into the grid, each after the previous one arrived in the cell.
  static void Type(TUiDriver& ui, HWND grid, int col, const std::wstring& text) {
    std::wstring typed;
    for (wchar_t c : text) {
      typed += c;
      ui.Invoke([&] { PostMessageW(GetFocus(), WM_CHAR, c, 0); });
      EXPECT_TRUE(ui.WaitFor([&] { return CellText(grid, Query(grid, 0, 0).CurrentRow, col) == typed; }))
          << "typing " << std::string(typed.begin(), typed.end());
    }
  }
  static void Key(TUiDriver& ui, WPARAM vk) {
    ui.Invoke([vk] { PostMessageW(GetFocus(), WM_KEYDOWN, vk, 1); });
  }
  // The message box of this thread with the given title; waits for it to show.
  static HWND WaitForBox(TUiDriver& ui, const std::wstring& title) {
    HWND box = nullptr;
    ui.WaitFor([&] {
      std::vector<HWND> boxes = ThreadWindows(L"#32770", title);
      box = boxes.empty() ? nullptr : boxes[0];
      return box != nullptr;
    });
    return box;
  }
  static bool WaitUntilGone(TUiDriver& ui, HWND box) {
    return ui.WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
  }
};

TEST_F(Win32ModelDialog, OpensModalWithItsControlsInPlaceAndToolTipsSet) {
  const std::string stored = ReadIni();
  ShowModel([this](TUiDriver& ui) {
    ui.Invoke([this] {
      model::TfrmModel* dialog = ShownDialog();
      ASSERT_NE(dialog, nullptr);
      model::TfrmModel& d = *dialog;
      HWND window = Hwnd(d);
      EXPECT_EQ(Text(window), L"Model Table");
      EXPECT_EQ(GetWindow(window, GW_OWNER), Hwnd(*Form));
      EXPECT_FALSE(IsWindowEnabled(Hwnd(*Form))) << "the main window waits for the dialog";
      const LONG style = GetWindowLongW(window, GWL_STYLE);
      EXPECT_TRUE(style & WS_THICKFRAME);
      EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
      RECT client;
      GetClientRect(window, &client);
      EXPECT_EQ(client.right, 471);
      EXPECT_EQ(client.bottom, 220);
      RECT outer;
      GetWindowRect(window, &outer);
      EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2) << "centred";
      EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2) << "centred";

      struct TExpect {
        platform::TControl* Control;
        const wchar_t* Class;
        RECT Rect;
        const wchar_t* Text;
      };
      const TExpect controls[] = {
          {&d.edtLicense, L"Edit", {56, 13, 177, 34}, L"LIC-7"},
          {&d.btnOk, L"Button", {282, 9, 354, 43}, L"Ok"},
          {&d.Button1, L"Button", {369, 9, 441, 43}, L"Cancel"},
          {&d.DBGrid1, L"QuorvelGrid", {0, 49, 471, 186}, L""},
          {&d.DBNavigator1, L"QuorvelNavigator", {8, 188, 458, 217}, L""},
          {&d.Panel1, L"Static", {0, 0, 471, 49}, L""},
          {&d.Panel2, L"Static", {0, 186, 471, 220}, L""},
      };
      for (const TExpect& e : controls) {
        HWND child = Hwnd(*e.Control);
        ASSERT_EQ(GetParent(child), window) << e.Control->Name;
        EXPECT_EQ(ClassOf(child), e.Class) << e.Control->Name;
        RECT rect = RectIn(child, window);
        EXPECT_EQ(rect.left, e.Rect.left) << e.Control->Name;
        EXPECT_EQ(rect.top, e.Rect.top) << e.Control->Name;
        EXPECT_EQ(rect.right, e.Rect.right) << e.Control->Name;
        EXPECT_EQ(rect.bottom, e.Rect.bottom) << e.Control->Name;
        EXPECT_EQ(Text(child), e.Text) << e.Control->Name;
      }
      EXPECT_TRUE(GetWindowLongW(Hwnd(d.edtLicense), GWL_STYLE) & ES_READONLY);
      EXPECT_EQ(GetWindowLongW(Hwnd(d.btnOk), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
      EXPECT_EQ(GetWindowLongW(Hwnd(d.Button1), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
      EXPECT_EQ(Text(Hwnd(d.lblLicense)), L"License :");
      HWND grid = Hwnd(d.DBGrid1);
      EXPECT_EQ(GetFocus(), grid) << "the grid has the focus";

      // The grid's titles and cells, read from the window.
      const wchar_t* titles[] = {L"UnitNo", L"Model", L"Comment"};
      const wchar_t* cells[2][3] = {{L"1", L"A", L"a"}, {L"2", L"B", L""}};
      for (int col = 0; col < 3; ++col) {
        EXPECT_EQ(CellText(grid, -1, col), titles[col]);
        for (int row = 0; row < 2; ++row) EXPECT_EQ(CellText(grid, row, col), cells[row][col]) << row << "," << col;
      }
      TGridQuery query = Query(grid, 0, 0);
      EXPECT_EQ(query.RowCount, 2);
      EXPECT_EQ(query.CurrentRow, 0);

      // On the first row: Next, Last, Insert, Delete and Edit.
      HWND navigator = Hwnd(d.DBNavigator1);
      EXPECT_EQ(SendMessageW(navigator, platform::win32::cNavigatorEnabled, 0, 0), 0x7C);

      // One tool tip per button, 50 pixels wide each; a tip not yet shown is hidden.
      HWND tip = nullptr;
      for (HWND candidate : ThreadWindows(L"tooltips_class32", {}, true))
        if (SendMessageW(candidate, TTM_GETTOOLCOUNT, 0, 0) == 9) tip = candidate;
      ASSERT_NE(tip, nullptr);
      const wchar_t* hints[] = {L"最初のレコード", L"前のレコード",   L"次のレコード",
                                L"最後のレコード", L"レコードの挿入", L"レコードの削除",
                                L"レコードの編集", L"レコードの登録", L"編集の取り消し"};
      for (int i = 0; i < 9; ++i) {
        wchar_t text[80] = {};
        TOOLINFOW tool;
        ZeroMemory(&tool, sizeof(tool));
        tool.cbSize = sizeof(tool);
        tool.lpszText = text;
        ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool))) << i;
        EXPECT_EQ(tool.hwnd, navigator) << i;
        EXPECT_EQ(static_cast<int>(tool.uId), i);
        EXPECT_STREQ(text, hints[i]) << i;
        EXPECT_EQ(tool.rect.left, 50 * i) << i;
        EXPECT_EQ(tool.rect.right - tool.rect.left, 50) << i;
      }

      // Made as small as it goes, it keeps Ok, Cancel, the licence box, the navigator and a row in view.
      SetWindowPos(window, nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      GetClientRect(window, &client);
      for (platform::TControl* control :
           std::initializer_list<platform::TControl*>{&d.edtLicense, &d.btnOk, &d.Button1, &d.DBNavigator1}) {
        const RECT rect = RectIn(Hwnd(*control), window);
        EXPECT_LE(rect.right, client.right) << control->Name;
        EXPECT_LE(rect.bottom, client.bottom) << control->Name;
      }
      EXPECT_LT(client.right, 471) << "narrower than at the start";
      const RECT gridRect = RectIn(grid, window);
      EXPECT_GE(gridRect.bottom - gridRect.top, 2 * 18) << "the titles and a row";
      PostMessageW(Hwnd(d.Button1), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(ui.WaitFor([] { return ShownDialog() == nullptr; }));
  });
  EXPECT_TRUE(IsWindowEnabled(Hwnd(*Form)));
  EXPECT_EQ(ReadIni(), stored) << "Cancel writes nothing";
}

TEST_F(Win32ModelDialog, ATypedUnitNumberOutOfRangeIsRefusedAndTheOldNumberKept) {
  const std::string stored = ReadIni();
  const std::wstring title = Wide(platform::ErrorBoxTitle(platform::Current().App().ExecutablePath()));
  ShowModel([&](TUiDriver& ui) {
    HWND grid = nullptr;
    ui.Invoke([&] { grid = Hwnd(ShownDialog()->DBGrid1); });
    // A letter is refused; digits go in.
    ui.Invoke([&] { PostMessageW(grid, WM_CHAR, L'A', 0); });
    Type(ui, grid, 0, L"70000");
    ui.Invoke([&] {
      EXPECT_EQ(CellText(grid, 0, 0), L"70000");
      EXPECT_TRUE(Query(grid, 0, 0).EditorMode);
    });
    Key(ui, VK_TAB);
    HWND box = WaitForBox(ui, title);
    ASSERT_NE(box, nullptr) << "no error box";
    ui.Invoke([&] {
      EXPECT_NE(ChildWithText(box, L"70000 は項目 'UnitNo' に適した値ではありません。0 から 65535 の範囲が許されます."),
                nullptr);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(WaitUntilGone(ui, box));
    EXPECT_TRUE(ui.WaitFor([&] { return GetFocus() == grid || IsChild(grid, GetFocus()); }))
        << "the focus is back in the grid";
    ui.Invoke([&] {
      EXPECT_EQ(Form->cdsModel.FieldByName(u"UnitNo").AsString(), u"1") << "the field keeps its number";
      EXPECT_EQ(CellText(grid, 0, 0), L"70000") << "the typed text stays in the cell";
      EXPECT_EQ(Query(grid, 0, 0).CurrentCol, 0);
    });
    // Esc gives the cell its value back; Cancel then closes.
    Key(ui, VK_ESCAPE);
    EXPECT_TRUE(ui.WaitFor([&] { return CellText(grid, 0, 0) == L"1"; }));
    ui.Invoke([&] { PostMessageW(Hwnd(ShownDialog()->Button1), BM_CLICK, 0, 0); });
    EXPECT_TRUE(ui.WaitFor([] { return ShownDialog() == nullptr; }));
  });
  EXPECT_EQ(ReadIni(), stored);
}

TEST_F(Win32ModelDialog, CtrlDeleteAsksAndCancelKeepsTheRow) {
  ShowModel([&](TUiDriver& ui) {
    HWND grid = nullptr;
    ui.Invoke([&] { grid = Hwnd(ShownDialog()->DBGrid1); });
    Key(ui, VK_DOWN);
    EXPECT_TRUE(ui.WaitFor([&] { return Query(grid, 0, 0).CurrentRow == 1; }));
    ui.Invoke([&] {
      SetCtrlDown(true);
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_DELETE, 1);
    });
    HWND box = WaitForBox(ui, L"確認");
    ui.Invoke([&] { SetCtrlDown(false); });
    ASSERT_NE(box, nullptr) << "no confirmation";
    ui.Invoke([&] {
      EXPECT_NE(ChildWithText(box, L"レコードを削除しますか？"), nullptr);
      EXPECT_NE(ChildWithText(box, L"OK"), nullptr);
      PressBoxButton(box, L"キャンセル");
    });
    EXPECT_TRUE(WaitUntilGone(ui, box));
    ui.Invoke([&] {
      EXPECT_EQ(Form->cdsModel.RecordCount(), 2);
      EXPECT_EQ(Query(grid, 0, 0).RowCount, 2);
      EXPECT_EQ(CellText(grid, 1, 1), L"B");
      PostMessageW(Hwnd(ShownDialog()->btnOk), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(ui.WaitFor([] { return ShownDialog() == nullptr; }));
  });
  EXPECT_EQ(ReadIni(), cBom + cMain + cOther + cLicence);
}

TEST_F(Win32ModelDialog, OkWritesTheSectionToTheEndOfTheFile) {
  ShowModel([&](TUiDriver& ui) {
    HWND grid = nullptr;
    ui.Invoke([&] { grid = Hwnd(ShownDialog()->DBGrid1); });
    // A new row at the end, numbered 7, with a model still in its cell when Ok is pressed.
    Key(ui, VK_DOWN);
    Key(ui, VK_DOWN);
    EXPECT_TRUE(ui.WaitFor([&] { return Query(grid, 0, 0).RowCount == 3; }));
    ui.Invoke([&] { EXPECT_EQ(ImmGetContext(grid), nullptr) << "no input method for UnitNo in the grid window"; });
    Type(ui, grid, 0, L"7");
    Key(ui, VK_TAB);
    EXPECT_TRUE(ui.WaitFor([&] { return Query(grid, 0, 0).CurrentCol == 1; }));
    ui.Invoke([&] {  // Model's composes at its cell
      HIMC context = ImmGetContext(grid);
      COMPOSITIONFORM form{};
      ASSERT_TRUE(context && ImmGetCompositionWindow(context, &form));
      const platform::TGridColumn model = ShownDialog()->DBGrid1.View().Columns[1];
      EXPECT_TRUE(form.ptCurrentPos.x >= model.Left && form.ptCurrentPos.x < model.Left + model.Width);
      ImmReleaseContext(grid, context);
    });
    Type(ui, grid, 1, L"XR-9");
    ui.Invoke([&] { PostMessageW(Hwnd(ShownDialog()->btnOk), BM_CLICK, 0, 0); });
    EXPECT_TRUE(ui.WaitFor([] { return ShownDialog() == nullptr; }));
  });
  EXPECT_EQ(ReadIni(), cBom + cMain + cOther + "[LIC-7]\r\nunit1=A\r\ncomment1=a\r\nunit2=B\r\nunit7=XR-9\r\n\r\n");
}

}  // namespace

// The grid's announcements reach a WinEvent hook in this process with ids that name the cells;
// an object kept after its window is gone answers CO_E_OBJNOTCONNECTED.
TEST_F(Win32ModelDialog, ScreenReadersHearTheGridAndKeptObjectsOutliveIt) {
  static std::vector<std::pair<DWORD, LONG>> heard;  // event, child id, of the grid's own object
  static HWND grid = nullptr;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* kept = nullptr;
  HWINEVENTHOOK hook = nullptr;
  ShowModel([&](TUiDriver& ui) {
    ui.Invoke([&] {
      grid = Hwnd(ShownDialog()->DBGrid1);
      hook = SetWinEventHook(
          EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr,
          [](HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
            if (window == grid && object == OBJID_CLIENT) heard.emplace_back(event, child);
          },
          GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
      AccessibleObjectFromWindow(grid, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void**>(&kept));
    });
    Key(ui, VK_RIGHT);
    ui.Invoke([] { PostMessageW(GetFocus(), WM_CHAR, L'Z', 0); });
    Key(ui, VK_INSERT);
    const LONG cell = 2 << 16 | 2;  // from the table: row 1's cell in column 2
    const std::vector<std::pair<DWORD, LONG>> expected = {{EVENT_OBJECT_FOCUS, cell},
                                                          {EVENT_OBJECT_VALUECHANGE, cell},
                                                          {EVENT_OBJECT_STATECHANGE, 2},
                                                          {EVENT_OBJECT_REORDER, 0},
                                                          {EVENT_OBJECT_STATECHANGE, 2}};
    EXPECT_TRUE(ui.WaitFor([&] { return heard.size() >= expected.size(); }));
    ui.Invoke([&] {
      EXPECT_EQ(heard, expected);
      // What a client reads of an object and child: name=value.
      auto said = [](IAccessible* object, VARIANT child) {
        BSTR name = nullptr, value = nullptr;
        object->get_accName(child, &name);
        object->get_accValue(child, &value);
        std::wstring text = std::wstring(name ? name : L"") + L"=" + (value ? value : L"");
        SysFreeString(name), SysFreeString(value), object->Release();
        return text;
      };
      IAccessible* object = nullptr;
      VARIANT child{};
      ASSERT_EQ(AccessibleObjectFromEvent(grid, static_cast<DWORD>(OBJID_CLIENT), cell + (1 << 16), &object, &child),
                S_OK);
      long x = 0, y = 0, width = 0, height = 0;
      object->accLocation(&x, &y, &width, &height, child);
      EXPECT_EQ(said(object, child), L"Model, row 2=Z") << "the row typed into, after the new one";
      ASSERT_EQ(AccessibleObjectFromPoint({x + width / 2, y + height / 2}, &object, &child), S_OK);
      EXPECT_EQ(said(object, child), L"Model, row 2=Z") << "the cell at its place on the screen";
      PostMessageW(Hwnd(ShownDialog()->Button1), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(ui.WaitFor([] { return ShownDialog() == nullptr; }));
  });
  UnhookWinEvent(hook);
  ASSERT_NE(kept, nullptr);
  long count = 0;
  EXPECT_EQ(kept->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  kept->Release();
  CoUninitialize();
}
