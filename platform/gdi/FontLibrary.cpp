#include "platform/gdi/FontLibrary.h"

#include "platform/gdi/GbkText.h"
#include "platform/gdi/MarlettGlyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace tavrin {

namespace {

// The only font files the library uses. An empty configuration is loaded
// first so nothing of the machine's own font setup takes part.
const char* const kPinnedFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
};

const char kFontConfig[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <config><rescan><int>0</int></rescan></config>
</fontconfig>
)";

enum class Family { Sans, Mono, Serif, Cjk, Symbol };

const char* FamilyName(Family f)
{
    switch (f) {
    case Family::Mono: return "DejaVu Sans Mono";
    case Family::Serif: return "DejaVu Serif";
    case Family::Cjk: return "WenQuanYi Micro Hei";
    default: return "DejaVu Sans";
    }
}

struct FaceAlias {
    const char* name; // GBK
    Family family;
};

// Faces the program and its resources name, and what draws them.
const FaceAlias kAliases[] = {
    {"\xCB\xCE\xCC\xE5", Family::Cjk},                 // SimSun
    {"\xD0\xC2\xCB\xCE\xCC\xE5", Family::Cjk},         // NSimSun
    {"\xBA\xDA\xCC\xE5", Family::Cjk},                 // SimHei
    {"\xBF\xAC\xCC\xE5", Family::Cjk},                 // KaiTi
    {"\xB7\xC2\xCB\xCE", Family::Cjk},                 // FangSong
    {"\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA", Family::Cjk}, // Microsoft YaHei
    {"SimSun", Family::Cjk},
    {"NSimSun", Family::Cjk},
    {"SimHei", Family::Cjk},
    {"Microsoft YaHei", Family::Cjk},
    {"WenQuanYi Micro Hei", Family::Cjk},
    {"Tahoma", Family::Sans},
    {"Arial", Family::Sans},
    {"MS Shell Dlg", Family::Sans},
    {"MS Shell Dlg 2", Family::Sans},
    {"MS Sans Serif", Family::Sans},
    {"Microsoft Sans Serif", Family::Sans},
    {"Verdana", Family::Sans},
    {"Segoe UI", Family::Sans},
    {"System", Family::Sans},
    {"DejaVu Sans", Family::Sans},
    {"Courier New", Family::Mono},
    {"Courier", Family::Mono},
    {"Fixedsys", Family::Mono},
    {"Terminal", Family::Mono},
    {"DejaVu Sans Mono", Family::Mono},
    {"Times New Roman", Family::Serif},
    {"DejaVu Serif", Family::Serif},
    {"Marlett", Family::Symbol},
};

bool EqualNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y)
            return false;
    }
    return *a == *b;
}

bool IsFullWidth(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

int Round26(FT_Pos v) { return int((v + 32) >> 6); }

} // namespace

int EmFromLogicalHeight(LONG height, int unitsPerEm, int cellUnits)
{
    if (height < 0)
        return int(-height);
    if (height == 0)
        height = 16; // the default cell height of an unsized font
    if (cellUnits <= 0)
        return int(height);
    return std::max(1, int(std::lround(double(height) * unitsPerEm / cellUnits)));
}

struct FontFile {
    FT_Face face = nullptr;
    bool bold = false;
    bool italic = false;
    int unitsPerEm = 2048;
    int winAscent = 0;
    int winDescent = 0;
    int avgWidth = 0;
    int strikeoutPos = 0;
    int strikeoutSize = 0;
    int lineGapUnits = 0; // line gap beyond the cell, font units
    FT_Size size = nullptr;
};

struct FontLibrary::Impl {
    std::recursive_mutex mutex; // FreeType and fontconfig calls
    FT_Library ft = nullptr;
    FcConfig* config = nullptr;
    std::map<std::string, std::unique_ptr<FontFile>> files; // by path and index
    std::map<std::string, std::weak_ptr<ScaledFont>> fonts;
    bool hasFonts = false;
    bool closed = false;

    // Frees FreeType and fontconfig at exit; fonts asked for later draw nothing.
    void Close()
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        for (auto& f : files)
            FT_Done_Face(f.second->face);
        files.clear();
        if (ft)
            FT_Done_FreeType(ft);
        ft = nullptr;
        if (config)
            FcConfigDestroy(config);
        config = nullptr;
        hasFonts = false;
        closed = true;
    }

    FontFile* Open(const std::string& path, int index)
    {
        std::string key = path + "#" + std::to_string(index);
        auto it = files.find(key);
        if (it != files.end())
            return it->second.get();
        auto file = std::make_unique<FontFile>();
        if (FT_New_Face(ft, path.c_str(), index, &file->face) != 0)
            return nullptr;
        file->unitsPerEm = file->face->units_per_EM ? file->face->units_per_EM : 2048;
        file->bold = (file->face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        file->italic = (file->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(file->face, FT_SFNT_OS2));
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            file->winAscent = os2->usWinAscent;
            file->winDescent = os2->usWinDescent;
            file->avgWidth = os2->xAvgCharWidth;
            file->strikeoutPos = os2->yStrikeoutPosition;
            file->strikeoutSize = os2->yStrikeoutSize;
        } else {
            file->winAscent = file->face->ascender;
            file->winDescent = -file->face->descender;
        }
        // The horizontal header's line gap, less what the cell already holds
        // beyond the typographic ascender and descender.
        if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(file->face, FT_SFNT_HHEA)))
            file->lineGapUnits = std::max(0, int(hhea->Line_Gap) - ((file->winAscent + file->winDescent)
                                                                    - (int(hhea->Ascender) - int(hhea->Descender))));
        FontFile* raw = file.get();
        files.emplace(key, std::move(file));
        return raw;
    }

    // The pinned file of a family in the asked weight and slant.
    FontFile* Match(Family family, bool bold, bool italic)
    {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(FamilyName(family)));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        FontFile* file = nullptr;
        if (match) {
            FcChar8* path = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                file = Open(reinterpret_cast<const char*>(path), index);
            }
            FcPatternDestroy(match);
        }
        return file;
    }
};

FontLibrary& FontLibrary::Instance()
{
    static FontLibrary* library = new FontLibrary; // fonts stay usable during static destruction
    return *library;
}

FontLibrary::FontLibrary() : m_impl(std::make_unique<Impl>())
{
    Impl& d = *m_impl;
    if (FT_Init_FreeType(&d.ft) != 0) {
        d.ft = nullptr;
        return;
    }
    d.config = FcConfigCreate();
    if (!d.config)
        return;
    FcConfigParseAndLoadFromMemory(d.config, reinterpret_cast<const FcChar8*>(kFontConfig), FcFalse);
    for (const char* path : kPinnedFiles)
        if (FcConfigAppFontAddFile(d.config, reinterpret_cast<const FcChar8*>(path)))
            d.hasFonts = true;
    FcConfigBuildFonts(d.config);
    std::atexit([] { Instance().m_impl->Close(); });
}

bool FontLibrary::HasFonts() const { return m_impl->hasFonts; }

std::vector<std::string> FontLibrary::FaceNames() const
{
    std::vector<std::string> names;
    for (const FaceAlias& a : kAliases) {
        if (a.family != Family::Symbol && !m_impl->hasFonts)
            continue;
        names.emplace_back(a.name);
        if (a.family == Family::Cjk && static_cast<unsigned char>(a.name[0]) >= 0x80)
            names.emplace_back(std::string("@") + a.name);
    }
    return names;
}

std::shared_ptr<ScaledFont> FontLibrary::Resolve(const LOGFONTA& lf)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    const char* name = face;
    bool vertical = false;
    if (name[0] == '@') {
        vertical = true;
        ++name;
    }
    Family family = (lf.lfCharSet == GB2312_CHARSET || lf.lfCharSet == CHINESEBIG5_CHARSET) ? Family::Cjk : Family::Sans;
    for (const FaceAlias& a : kAliases)
        if (EqualNoCase(a.name, name)) {
            family = a.family;
            break;
        }
    bool bold = lf.lfWeight >= FW_SEMIBOLD;
    bool italic = lf.lfItalic != 0;
    bool antialias = lf.lfQuality != NONANTIALIASED_QUALITY;

    Impl& d = *m_impl;
    std::lock_guard<std::recursive_mutex> lock(d.mutex);
    if (!d.hasFonts)
        family = Family::Symbol;
    std::string key = std::to_string(int(family)) + "/" + std::to_string(lf.lfHeight) + "/" + std::to_string(bold)
                    + std::to_string(italic) + std::to_string(vertical) + std::to_string(antialias);
    auto cached = d.fonts.find(key);
    if (cached != d.fonts.end())
        if (auto font = cached->second.lock())
            return font;

    std::shared_ptr<ScaledFont> font(new ScaledFont);
    font->m_vertical = vertical;
    font->m_antialias = antialias;
    FontMetrics& m = font->m_metrics;
    if (family == Family::Symbol) {
        font->m_symbol = true;
        m.em = lf.lfHeight < 0 ? int(-lf.lfHeight) : (lf.lfHeight > 0 ? int(lf.lfHeight) : 16);
        m.height = m.ascent = m.em;
        m.aveCharWidth = m.maxCharWidth = m.em;
        d.fonts[key] = font;
        return font;
    }
    FontFile* primary = d.Match(family, bold, italic);
    FontFile* fallback = family == Family::Cjk ? nullptr : d.Match(Family::Cjk, bold, italic);
    if (!primary) {
        primary = fallback;
        fallback = nullptr;
    }
    if (!primary) {
        font->m_symbol = true;
        m.em = m.height = m.ascent = 16;
        return font;
    }
    font->m_primary = primary;
    font->m_fallback = fallback;
    font->m_emboldenPrimary = bold && !primary->bold;
    font->m_emboldenFallback = fallback && bold && !fallback->bold;
    font->m_slantPrimary = italic && !primary->italic;
    font->m_slantFallback = fallback && italic && !fallback->italic;

    int cellUnits = primary->winAscent + primary->winDescent;
    m.em = EmFromLogicalHeight(lf.lfHeight, primary->unitsPerEm, cellUnits);
    double scale = double(m.em) / primary->unitsPerEm;
    m.ascent = int(std::lround(primary->winAscent * scale));
    m.descent = int(std::lround(primary->winDescent * scale));
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - m.em);
    m.externalLeading = int(std::lround(primary->lineGapUnits * scale));
    m.underlineThickness = std::max(1, int(std::lround(primary->face->underline_thickness * scale)));
    m.underlinePosition = std::max(1, int(std::lround(-primary->face->underline_position * scale)));
    m.strikeoutPosition = primary->strikeoutPos ? int(std::lround(primary->strikeoutPos * scale)) : m.ascent / 3;
    m.fixedPitch = FT_IS_FIXED_WIDTH(primary->face);
    d.fonts[key] = font;
    // Widths come from rendered glyphs, so they match what is drawn.
    font->m_metrics.aveCharWidth = font->GlyphFor(U'x').advance;
    int maxWidth = 0;
    for (char32_t c : {U'W', U'M', U'@', U'\x6C49'})
        maxWidth = std::max(maxWidth, font->GlyphFor(c).advance);
    font->m_metrics.maxCharWidth = maxWidth;
    return font;
}

ScaledFont::~ScaledFont() = default;

bool ScaledFont::RenderFrom(FontFile* file, char32_t code, Glyph& out)
{
    FT_UInt index = FT_Get_Char_Index(file->face, code);
    if (index == 0)
        return false;
    bool fromFallback = file == m_fallback;
    FT_Face face = file->face;
    // The file is shared by every size; set ours for each glyph.
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(m_metrics.em));
    bool slant = fromFallback ? m_slantFallback : m_slantPrimary;
    if (slant) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Set_Transform(face, &shear, nullptr);
    } else {
        FT_Set_Transform(face, nullptr, nullptr);
    }
    FT_Int32 flags = m_antialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(face, index, flags | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    bool embolden = fromFallback ? m_emboldenFallback : m_emboldenPrimary;
    FT_Pos extra = 0;
    if (embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        extra = std::max<FT_Pos>(64, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24);
        FT_Outline_Embolden(&slot->outline, extra);
        FT_Outline_Translate(&slot->outline, -extra / 2, 0);
    }
    if (FT_Render_Glyph(slot, m_antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return false;
    const FT_Bitmap& bm = slot->bitmap;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = int(bm.width);
    out.height = int(bm.rows);
    out.advance = Round26(slot->advance.x + (extra ? 64 : 0));
    out.coverage.assign(size_t(out.width) * size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
        for (int x = 0; x < out.width; ++x) {
            uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0) : row[x];
            out.coverage[size_t(y * out.width + x)] = v;
        }
    }
    return true;
}

const Glyph& ScaledFont::GlyphFor(char32_t code)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_glyphs.find(code);
        if (it != m_glyphs.end())
            return *it->second;
    }
    // Rendering takes the library's lock before ours, the order Resolve holds them in.
    FontLibrary::Impl& library = *FontLibrary::Instance().m_impl;
    std::unique_lock<std::recursive_mutex> ftLock;
    if (!m_symbol)
        ftLock = std::unique_lock<std::recursive_mutex>(library.mutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_glyphs.find(code);
    if (it != m_glyphs.end())
        return *it->second;
    auto glyph = std::make_unique<Glyph>();
    glyph->fullWidth = IsFullWidth(code);
    if (m_symbol) {
        RenderSymbolGlyph(code, m_metrics.em, *glyph);
    } else {
        bool done = false;
        if (library.closed)
            done = true;
        else if (code == U'\t' || code == U'\r' || code == U'\n') {
            done = RenderFrom(m_primary, U' ', *glyph);
        } else {
            done = RenderFrom(m_primary, code, *glyph) || (m_fallback && RenderFrom(m_fallback, code, *glyph));
            if (!done)
                done = RenderFrom(m_primary, U'?', *glyph);
        }
        if (!done)
            glyph->advance = m_metrics.em / 2;
    }
    const Glyph& ref = *glyph;
    m_glyphs.emplace(code, std::move(glyph));
    return ref;
}

int ScaledFont::TextWidth(std::string_view gbk, int charExtra)
{
    // Enough for every caption of a program's bars and menus; a text-heavy
    // caller starts the memory over instead of growing it without end.
    constexpr size_t kMaxMeasures = 4096;
    Measure m;
    {
        std::lock_guard<std::mutex> lock(m_measureMutex);
        auto it = m_measures.find(gbk);
        if (it != m_measures.end())
            return it->second.width + charExtra * it->second.count;
    }
    for (const TextChar& c : DecodeGbkText(gbk)) {
        m.width += Advance(c.code);
        ++m.count;
    }
    {
        std::lock_guard<std::mutex> lock(m_measureMutex);
        if (m_measures.size() >= kMaxMeasures)
            m_measures.clear();
        m_measures.emplace(std::string(gbk), m);
    }
    return m.width + charExtra * m.count;
}

} // namespace tavrin
