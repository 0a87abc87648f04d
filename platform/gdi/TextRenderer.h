// TextRenderer: lays GBK text out in a scaled font and draws it into a device
// context at a reference point, rotated in quarter turns by the font's
// escapement; full-width characters of a vertical ("@") face stay upright in
// top-to-bottom text.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontLibrary.h"
#include "platform/gdi/GbkText.h"

#include <string_view>
#include <vector>

namespace tavrin {

class Font;

struct TextLayout {
    std::vector<TextChar> chars;
    std::vector<const Glyph*> glyphs;
    std::vector<int> advances; // pixels, with character extra or caller's spacing
    int width = 0;
};

TextLayout LayoutText(ScaledFont& font, std::string_view gbk, int charExtra, const INT* dx = nullptr);

struct TextDrawOptions {
    UINT align = 0;              // TA_ flags
    const RECT* clip = nullptr;  // logical clip rectangle
    bool fillCell = false;       // background behind the text cells
    COLORREF color = 0;
    COLORREF back = 0;
    // Characters to underline (prefix underline), by index.
    const std::vector<int>* underline = nullptr;
    bool glyphs = true;          // false: only the underlines
};

// Draws at logical (x, y) with the DC's selected font; returns the advance.
int DrawTextLayout(DeviceContext& dc, Font& font, const TextLayout& layout, int x, int y, const TextDrawOptions& options);

// The selected font of a DC (the system font when none is).
Font& SelectedFont(DeviceContext& dc);

} // namespace tavrin
