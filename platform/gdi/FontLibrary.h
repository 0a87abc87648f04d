// FontLibrary: turns a LOGFONT into a scaled font whose glyphs come from
// FreeType. Faces are resolved through a private fontconfig configuration that
// knows only the pinned font files, so the same glyphs are drawn on every
// machine: CJK faces map to WenQuanYi Micro Hei, Latin faces to DejaVu, and
// "Marlett" to symbol shapes of our own.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavrin {

// A rendered glyph: coverage 0-255, placed relative to the pen position on the
// baseline (left to the right, top upward).
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    bool fullWidth = false; // a CJK ideograph: upright in vertical faces
    std::vector<uint8_t> coverage;
};

struct FontMetrics {
    int em = 0;
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0; // the line gap the face asks for beyond its cell
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePosition = 0;  // below the baseline
    int underlineThickness = 1;
    int strikeoutPosition = 0;  // above the baseline
    bool fixedPitch = false;
};

struct FontFile;

class ScaledFont {
public:
    ~ScaledFont();
    const FontMetrics& Metrics() const { return m_metrics; }
    // Safe from any thread; the reference lives as long as the font.
    const Glyph& GlyphFor(char32_t code);
    int Advance(char32_t code) { return GlyphFor(code).advance; }
    // Width of GBK text with charExtra after every character. Remembered per
    // text: layouts measure the same captions again at every pass.
    int TextWidth(std::string_view gbk, int charExtra);
    bool IsVerticalFace() const { return m_vertical; }
    bool IsSymbol() const { return m_symbol; }
    bool Antialiased() const { return m_antialias; }

private:
    friend class FontLibrary;
    ScaledFont() = default;
    bool RenderFrom(FontFile* file, char32_t code, Glyph& out);

    std::mutex m_mutex;
    std::unordered_map<char32_t, std::unique_ptr<Glyph>> m_glyphs;
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct Measure {
        int width = 0; // without character extra
        int count = 0; // characters
    };
    std::mutex m_measureMutex;
    std::unordered_map<std::string, Measure, TextHash, std::equal_to<>> m_measures;
    FontMetrics m_metrics;
    FontFile* m_primary = nullptr;  // owned by the library
    FontFile* m_fallback = nullptr; // for characters the primary lacks
    bool m_vertical = false;
    bool m_symbol = false;
    bool m_antialias = true;
    bool m_emboldenPrimary = false;
    bool m_emboldenFallback = false;
    bool m_slantPrimary = false;
    bool m_slantFallback = false;
};

class FontLibrary {
public:
    static FontLibrary& Instance();

    // Never null: a face the library cannot resolve falls back to DejaVu Sans,
    // and without any font file to symbol shapes.
    std::shared_ptr<ScaledFont> Resolve(const LOGFONTA& font);
    // The face names (GBK) the program can ask for by name.
    std::vector<std::string> FaceNames() const;
    // Whether the pinned fonts were found.
    bool HasFonts() const;

    struct Impl;

private:
    friend class ScaledFont;
    FontLibrary();
    std::unique_ptr<Impl> m_impl;
};

// Character height of a LOGFONT height for a face of the given design
// metrics: negative heights are em sizes, positive heights cell heights.
int EmFromLogicalHeight(LONG height, int unitsPerEm, int cellUnits);

} // namespace tavrin
