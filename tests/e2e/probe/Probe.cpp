// Reads and drives the windows of other programs from outside, as a user or a screen reader
// would, for the end-to-end tests. One command per run; records on standard output.
//
//   probe window TITLE TIMEOUT_MS   the visible top-level window titled exactly TITLE
//   probe windows                   every visible top-level window
//   probe controls HWND             the child controls of a window
//   probe click HWND                presses a button (posted, so a long handler does not block us)
//   probe settext HWND TEXT         sets a control's text, as typing it would
//   probe focus HWND                the control that has the focus in that window's thread
//   probe com HWND                  whether that window's thread has entered a COM apartment
//   probe imechars HWND TEXT        an input method's commit of TEXT: a burst of WM_IME_CHAR
//                                   posted to the control that has the focus in HWND's thread;
//                                   \uXXXX in TEXT is that code unit (a lone surrogate, say)
//   probe grid HWND WHAT            a number the grid window shows (its cGridState answer)
//   probe clip TEXT                 puts TEXT on the clipboard, as a copy in another program would
//   probe acc HWND                  the window's accessible objects as a screen reader reads them,
//                                   then the one that has the focus
//   probe accpress HWND NAME        the default action of the window's accessible child NAME
//
// Exit codes: 0 done, 1 not found before the deadline, 2 usage.
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "Format.h"
#include "Styles.h"
#include "platform/win32/Win32.h"

namespace {

std::wstring Text(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

HWND ParseHandle(const wchar_t* text) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(text, nullptr, 0)));
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void PrintWindow(const char* kind, HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  RECT client{};
  GetClientRect(window, &client);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const std::wstring className = ClassOf(window);
  probe::TRecord(kind)
      .AddHex("hwnd", reinterpret_cast<UINT_PTR>(window))
      .Add("title", Text(window))
      .Add("class", className)
      .Add("pid", static_cast<long long>(pid))
      .Add("left", outer.left)
      .Add("top", outer.top)
      .Add("right", outer.right)
      .Add("bottom", outer.bottom)
      .Add("clientwidth", client.right)
      .Add("clientheight", client.bottom)
      .AddFlag("foreground", GetForegroundWindow() == window)
      .Add("styles", probe::StyleNames(className, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), true))
      .Print();
}

struct TFind {
  const wchar_t* Title;
  HWND Found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM data) {
  auto* find = reinterpret_cast<TFind*>(data);
  if (IsWindowVisible(window) && Text(window) == find->Title) {
    find->Found = window;
    return FALSE;
  }
  return TRUE;
}

int CmdWindow(const wchar_t* title, long timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    TFind find{title, nullptr};
    EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&find));
    if (find.Found) {
      PrintWindow("window", find.Found);
      return 0;
    }
    if (GetTickCount64() > deadline) {
      probe::PrintError(std::wstring(L"no window titled ") + title);
      return 1;
    }
    Sleep(50);
  }
}

int CmdWindows() {
  EnumWindows(
      [](HWND window, LPARAM) {
        if (IsWindowVisible(window)) PrintWindow("window", window);
        return TRUE;
      },
      0);
  return 0;
}

int CmdControls(HWND parent) {
  if (!IsWindow(parent)) return 1;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) {
        HWND parent = reinterpret_cast<HWND>(data);
        if (GetParent(child) != parent) return TRUE;
        RECT screen{};
        GetWindowRect(child, &screen);
        RECT rect = screen;
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        const std::wstring className = ClassOf(child);
        probe::TRecord record("control");
        record.AddHex("hwnd", reinterpret_cast<UINT_PTR>(child))
            .Add("class", className)
            .Add("id", GetDlgCtrlID(child))
            .Add("text", Text(child))
            .Add("left", rect.left)
            .Add("top", rect.top)
            .Add("right", rect.right)
            .Add("bottom", rect.bottom)
            .Add("screenleft", screen.left)
            .Add("screentop", screen.top)
            .Add("screenright", screen.right)
            .Add("screenbottom", screen.bottom)
            .AddFlag("enabled", IsWindowEnabled(child) != FALSE)
            .Add("styles", probe::StyleNames(className, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)),
                                             static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE)), false));
        if (className == L"Button")
          record.Add("checked", static_cast<long long>(SendMessageW(child, BM_GETCHECK, 0, 0)));
        record.Print();
        return TRUE;
      },
      reinterpret_cast<LPARAM>(parent));
  return 0;
}

int CmdFocus(HWND window) {
  HWND focus = FocusOf(window);
  if (!focus) return 1;
  probe::TRecord("focus")
      .AddHex("hwnd", reinterpret_cast<UINT_PTR>(focus))
      .AddHex("parent", reinterpret_cast<UINT_PTR>(GetParent(focus)))
      .Add("class", ClassOf(focus))
      .Add("id", GetDlgCtrlID(focus))
      .Add("text", Text(focus))
      .Add("selection", static_cast<long long>(SendMessageW(focus, EM_GETSEL, 0, 0)))  // end << 16 | start
      .Print();
  return 0;
}

// A thread in a COM apartment has the apartment's window.
int CmdCom(HWND window) {
  for (HWND ole = nullptr; (ole = FindWindowExW(HWND_MESSAGE, ole, L"OleMainThreadWndClass", nullptr));)
    if (GetWindowThreadProcessId(ole, nullptr) == GetWindowThreadProcessId(window, nullptr)) return 0;
  return 1;
}

// All at once, as an input method commits: queued before the first is handled.
int CmdImeChars(HWND window, const std::wstring& text) {
  HWND focus = FocusOf(window);
  if (!focus) return 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (text.compare(i, 2, L"\\u") == 0 && i + 6 <= text.size()) {
      c = static_cast<wchar_t>(std::wcstoul(text.substr(i + 2, 4).c_str(), nullptr, 16));
      i += 5;
    }
    if (!PostMessageW(focus, WM_IME_CHAR, c, 1)) return 1;
  }
  return 0;
}

int CmdClip(const std::wstring& text) {
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));  // the clipboard's once set
  if (!data || !OpenClipboard(nullptr)) return 1;
  std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
  GlobalUnlock(data);
  const bool set = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
  return set ? 0 : 1;
}

// A screen reader's calls, from this process (in a COM apartment); COM carries them over.
IAccessible* ObjectOf(IDispatch* dispatch) {
  IAccessible* object = nullptr;
  if (!dispatch) return nullptr;
  dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
  dispatch->Release();
  return object;
}

VARIANT Child(long id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::wstring Str(IAccessible* object, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  (object->*get)(Child(id), &text);
  std::wstring taken = text ? text : L"";
  SysFreeString(text);
  return taken;
}
std::wstring NameOf(IAccessible* object, long id) { return Str(object, id, &IAccessible::get_accName); }

// Children that are objects are read in turn, simple ones through their parent.
void PrintTree(IAccessible* object, long id, const std::wstring& path) {
  VARIANT role{}, state{};
  object->get_accRole(Child(id), &role);
  object->get_accState(Child(id), &state);
  probe::TRecord("acc")
      .Add("path", path)
      .Add("role", role.lVal)
      .Add("name", NameOf(object, id))
      .Add("value", Str(object, id, &IAccessible::get_accValue))
      .AddHex("state", static_cast<unsigned long>(state.lVal))
      .Print();
  long count = 0;
  if (id == CHILDID_SELF) object->get_accChildCount(&count);
  for (long i = 1; i <= count; ++i) {
    IDispatch* dispatch = nullptr;
    const bool simple = object->get_accChild(Child(i), &dispatch) != S_OK;
    IAccessible* child = simple ? object : ObjectOf(dispatch);
    if (child) PrintTree(child, simple ? i : CHILDID_SELF, path + L"." + std::to_wstring(i));
    if (child && !simple) child->Release();
  }
}

IAccessible* WindowObject(HWND window) {
  IAccessible* object = nullptr;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                             reinterpret_cast<void**>(&object));
  return object;
}

int CmdAcc(HWND window) {
  IAccessible* root = WindowObject(window);
  if (!root) return 1;
  PrintTree(root, CHILDID_SELF, L"0");
  VARIANT focus{};
  root->get_accFocus(&focus);
  IAccessible* focused = focus.vt == VT_DISPATCH ? ObjectOf(focus.pdispVal) : nullptr;
  if (focused || focus.vt == VT_I4)
    probe::TRecord("accfocus").Add("name", focused ? NameOf(focused, CHILDID_SELF) : NameOf(root, focus.lVal)).Print();
  if (focused) focused->Release();
  root->Release();
  return 0;
}

int CmdAccPress(HWND window, const std::wstring& name) {
  IAccessible* root = WindowObject(window);
  if (!root) return 1;
  long count = 0;
  root->get_accChildCount(&count);
  HRESULT pressed = E_FAIL;
  for (long i = 1; i <= count && pressed == E_FAIL; ++i)
    if (NameOf(root, i) == name) pressed = root->accDoDefaultAction(Child(i));
  root->Release();
  return pressed == S_OK ? 0 : 1;
}

int Usage() {
  probe::PrintError(
      L"usage: probe window TITLE TIMEOUT_MS | windows | controls HWND | click HWND | settext HWND TEXT | focus HWND"
      L" | com HWND | imechars HWND TEXT | grid HWND WHAT | clip TEXT | acc HWND | accpress HWND NAME");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"window" && argc == 4) return CmdWindow(argv[2], std::wcstol(argv[3], nullptr, 10));
  if (command == L"windows" && argc == 2) return CmdWindows();
  if (command == L"controls" && argc == 3) return CmdControls(ParseHandle(argv[2]));
  if (command == L"click" && argc == 3) {
    HWND button = ParseHandle(argv[2]);
    return IsWindow(button) && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (command == L"settext" && argc == 4) {
    HWND control = ParseHandle(argv[2]);
    if (!IsWindow(control)) return 1;
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    return 0;
  }
  if (command == L"focus" && argc == 3) return CmdFocus(ParseHandle(argv[2]));
  if (command == L"com" && argc == 3) return CmdCom(ParseHandle(argv[2]));
  if (command == L"imechars" && argc == 4) return CmdImeChars(ParseHandle(argv[2]), argv[3]);
  if (command == L"clip" && argc == 3) return CmdClip(argv[2]);
  if (command == L"acc" && argc == 3) return CmdAcc(ParseHandle(argv[2]));
  if (command == L"accpress" && argc == 4) return CmdAccPress(ParseHandle(argv[2]), argv[3]);
  if (command == L"grid" && argc == 4) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(ParseHandle(argv[2]), platform::win32::cGridState, std::wcstoul(argv[3], nullptr, 10), 0,
                             SMTO_ABORTIFHUNG, 5000, &answer))
      return 1;
    probe::TRecord("grid").Add("value", static_cast<long long>(static_cast<LRESULT>(answer))).Print();
    return 0;
  }
  return Usage();
}
