#include "Styles.h"

#include <utility>
#include <vector>

namespace probe {

namespace {

using TBits = std::vector<std::pair<DWORD, const wchar_t*>>;

void AddBits(std::wstring& names, DWORD value, const TBits& bits) {
  for (const auto& [bit, name] : bits) {
    if ((value & bit) == bit) {
      if (!names.empty()) names += L'|';
      names += name;
    }
  }
}

void AddName(std::wstring& names, const wchar_t* name) {
  if (!names.empty()) names += L'|';
  names += name;
}

bool SameClass(const std::wstring& className, const wchar_t* name) {
  return CompareStringOrdinal(className.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

// The button kind is a number in the low four bits, not a set of flags.
const wchar_t* ButtonKind(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON: return L"BS_PUSHBUTTON";
    case BS_DEFPUSHBUTTON: return L"BS_DEFPUSHBUTTON";
    case BS_CHECKBOX: return L"BS_CHECKBOX";
    case BS_AUTOCHECKBOX: return L"BS_AUTOCHECKBOX";
    case BS_RADIOBUTTON: return L"BS_RADIOBUTTON";
    case BS_3STATE: return L"BS_3STATE";
    case BS_AUTO3STATE: return L"BS_AUTO3STATE";
    case BS_GROUPBOX: return L"BS_GROUPBOX";
    case BS_AUTORADIOBUTTON: return L"BS_AUTORADIOBUTTON";
    case BS_OWNERDRAW: return L"BS_OWNERDRAW";
    default: return L"BS_OTHER";
  }
}

const wchar_t* StaticAlignment(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT: return L"SS_LEFT";
    case SS_CENTER: return L"SS_CENTER";
    case SS_RIGHT: return L"SS_RIGHT";
    case SS_LEFTNOWORDWRAP: return L"SS_LEFTNOWORDWRAP";
    case SS_OWNERDRAW: return L"SS_OWNERDRAW";
    default: return L"SS_OTHER";
  }
}

}  // namespace

std::wstring StyleNames(const std::wstring& className, DWORD style, DWORD exStyle, bool topLevel) {
  std::wstring names;
  AddBits(names, style, {{WS_VISIBLE, L"WS_VISIBLE"}, {WS_DISABLED, L"WS_DISABLED"}});
  if (topLevel) {
    AddBits(names, style,
            {{WS_POPUP, L"WS_POPUP"},
             {WS_CAPTION, L"WS_CAPTION"},
             {WS_SYSMENU, L"WS_SYSMENU"},
             {WS_THICKFRAME, L"WS_THICKFRAME"},
             {WS_MINIMIZEBOX, L"WS_MINIMIZEBOX"},
             {WS_MAXIMIZEBOX, L"WS_MAXIMIZEBOX"},
             {WS_MINIMIZE, L"WS_MINIMIZE"}});
    AddBits(names, exStyle,
            {{WS_EX_APPWINDOW, L"WS_EX_APPWINDOW"},
             {WS_EX_TOOLWINDOW, L"WS_EX_TOOLWINDOW"},
             {WS_EX_TOPMOST, L"WS_EX_TOPMOST"},
             {WS_EX_DLGMODALFRAME, L"WS_EX_DLGMODALFRAME"}});
    return names;
  }
  AddBits(names, style,
          {{WS_TABSTOP, L"WS_TABSTOP"},
           {WS_GROUP, L"WS_GROUP"},
           {WS_BORDER, L"WS_BORDER"},
           {WS_VSCROLL, L"WS_VSCROLL"},
           {WS_HSCROLL, L"WS_HSCROLL"}});
  AddBits(names, exStyle, {{WS_EX_CLIENTEDGE, L"WS_EX_CLIENTEDGE"}});
  if (SameClass(className, L"Edit")) {
    AddBits(names, style,
            {{ES_READONLY, L"ES_READONLY"},
             {ES_MULTILINE, L"ES_MULTILINE"},
             {ES_PASSWORD, L"ES_PASSWORD"},
             {ES_NUMBER, L"ES_NUMBER"},
             {ES_AUTOHSCROLL, L"ES_AUTOHSCROLL"},
             {ES_RIGHT, L"ES_RIGHT"},
             {ES_CENTER, L"ES_CENTER"}});
  } else if (SameClass(className, L"Button")) {
    AddName(names, ButtonKind(style));
  } else if (SameClass(className, L"Static")) {
    AddName(names, StaticAlignment(style));
    AddBits(names, style, {{SS_NOPREFIX, L"SS_NOPREFIX"}});
  }
  return names;
}

}  // namespace probe
