// MarlettGlyphs: the symbol glyphs the toolkit draws with the "Marlett" face
// (caption buttons, arrows, check marks), as shapes of our own on an em square.
#pragma once

#include "platform/gdi/FontLibrary.h"

namespace tavrin {

// Fills the glyph for a symbol character at the given em size; characters
// without a shape give an empty glyph that still advances one em.
void RenderSymbolGlyph(char32_t code, int em, Glyph& out);

} // namespace tavrin
