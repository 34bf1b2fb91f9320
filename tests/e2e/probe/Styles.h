#pragma once
// Names of the style bits that tests check, as "WS_TABSTOP|ES_READONLY".
#include <windows.h>

#include <string>

namespace probe {

std::wstring StyleNames(const std::wstring& className, DWORD style, DWORD exStyle, bool topLevel);

}  // namespace probe
