#include "platform/win32/Handles.h"

#include <iterator>

#include "platform/Exception.h"

namespace platform::win32 {

std::u16string ErrorText(DWORD code) {
  // The system's texts are a line or two; one that did not fit would come back empty.
  wchar_t text[1024];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                static_cast<DWORD>(std::size(text)), nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n')) --length;
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

void RaiseLastError(std::u16string_view what) {
  const DWORD code = GetLastError();
  throw EOSError(what, code, ErrorText(code));
}

}  // namespace platform::win32
