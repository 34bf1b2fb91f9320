#include "platform/Backend.h"
#include "platform/win32/Win32.h"

namespace platform {
std::unique_ptr<TPlatform> CreateBackend() { return std::make_unique<win32::TWin32Platform>(); }
}  // namespace platform

namespace platform::win32 {

namespace {
std::function<void(const std::exception&)> gErrorHandler;
}

COLORREF ColorRef(TColor color) {
  if (color & cSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color);
}

bool HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF TextColorRef(TColor color) {
  if (!(color & cSystemColor) && HighContrast()) return GetSysColor(COLOR_WINDOWTEXT);
  return ColorRef(color);
}

void SetErrorHandler(std::function<void(const std::exception&)> handler) { gErrorHandler = std::move(handler); }

void ReportError(const std::exception& error) {
  if (gErrorHandler) gErrorHandler(error);
}

}  // namespace platform::win32
