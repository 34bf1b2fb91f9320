// The GDI objects that the program's windows share. Each is made on first use and kept for the
// process's life by the one list here; the windows that show them never own them.
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

HFONT FontFor(const TFont& font) {
  struct TEntry {
    std::u16string Name;
    int Height;
    TOwnedFont Font;
  };
  static std::vector<TEntry> fonts;
  for (const TEntry& entry : fonts)
    if (entry.Name == font.Name && entry.Height == font.Height) return entry.Font.Get();
  TOwnedFont created(
      Checked(CreateFontW(-font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, WideText(font.Name)),
              u"CreateFontW"));
  fonts.push_back({font.Name, font.Height, std::move(created)});
  return fonts.back().Font.Get();
}

HBRUSH BrushFor(TColor color) {
  if (color & cSystemColor) return GetSysColorBrush(static_cast<int>(color & 0xFF));
  struct TEntry {
    TColor Color;
    TOwnedBrush Brush;
  };
  static std::vector<TEntry> brushes;
  for (const TEntry& entry : brushes)
    if (entry.Color == color) return entry.Brush.Get();
  // Asked for while painting: a brush that cannot be made leaves the default background.
  TOwnedBrush created(CreateSolidBrush(ColorRef(color)));
  if (!created) return nullptr;
  brushes.push_back({color, std::move(created)});
  return brushes.back().Brush.Get();
}

}  // namespace platform::win32
