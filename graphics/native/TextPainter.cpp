#include "graphics/TextPainter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Bytes 0x80-0x9F of Windows code page 1252 (what DrawTextA reads on a Western system);
// the rest of the byte range is Latin-1.
constexpr uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePoint(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? Cp1252High[c - 0x80] : c;
}

struct Glyph {
    bool loaded = false;
    int32_t left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<uint8_t> coverage;  // width * rows, 0..255
};

}  // namespace

struct TextPainter::Font {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int32_t ascent = 0;
    int32_t lineHeight = 0;
    Glyph glyphs[256];

    ~Font()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    bool Open(const TextStyle& style)
    {
        if (!FcInit() || FT_Init_FreeType(&library) != 0) return false;
        FcPattern* pattern = FcPatternCreate();
        if (!pattern) return false;
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(style.face.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, style.style == TextBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, style.style == TextItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) return false;
        FcChar8* file = nullptr;
        int index = 0;
        bool opened = false;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            opened = FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0;
        }
        FcPatternDestroy(match);
        if (!opened) return false;

        // A positive size is the cell height (ascender plus descender), as GDI takes a positive
        // font height; a negative one is the em height; 0 picks GDI's usual default.
        const int32_t size = std::min<int32_t>(std::max<int32_t>(style.size, -1000), 1000);
        FT_Size_RequestRec request = {};
        request.type = size < 0 ? FT_SIZE_REQUEST_TYPE_NOMINAL : FT_SIZE_REQUEST_TYPE_CELL;
        request.height = static_cast<FT_Long>(size == 0 ? 16 : (size < 0 ? -size : size)) * 64;
        if (FT_Request_Size(face, &request) != 0) return false;
        ascent = static_cast<int32_t>(face->size->metrics.ascender >> 6);
        lineHeight = static_cast<int32_t>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
        return true;
    }

    const Glyph& Get(unsigned char c)
    {
        Glyph& g = glyphs[c];
        if (g.loaded) return g;
        g.loaded = true;
        const FT_UInt index = FT_Get_Char_Index(face, CodePoint(c));
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return g;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int32_t>(bitmap.width);
        g.rows = static_cast<int32_t>(bitmap.rows);
        g.coverage.assign(size_t(g.width) * g.rows, 0);
        for (int32_t y = 0; y < g.rows; ++y) {
            const unsigned char* src = bitmap.buffer + static_cast<intptr_t>(y) * bitmap.pitch;
            for (int32_t x = 0; x < g.width; ++x) {
                uint8_t value;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    value = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
                else
                    value = src[x];
                g.coverage[size_t(y) * g.width + x] = value;
            }
        }
        return g;
    }
};

namespace {

// DrawTextA without DT_NOPREFIX: "&&" shows one ampersand, "&x" shows x (the underline
// mnemonic is not drawn). Control characters take no room.
std::string VisibleText(const std::string& line)
{
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '&') {
            if (++i >= line.size()) break;
            c = line[i];
        }
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out;
}

}  // namespace

TextPainter::TextPainter() = default;

TextPainter::~TextPainter()
{
    delete font;
}

bool TextPainter::DrawText(SystemSurface& surface, const TextStyle& style, const std::string& text,
                           const Rect& area)
{
    if (!chosen) {
        chosen = true;
        chosenStyle = style;
        font = new Font;
        if (!font->Open(chosenStyle)) {
            delete font;
            font = nullptr;
        }
    }
    if (!font) return false;
    if (!HasPixels(surface)) return true;

    const uint32_t r = static_cast<uint32_t>(style.colour.r & 255);
    const uint32_t g = static_cast<uint32_t>(style.colour.g & 255);
    const uint32_t b = static_cast<uint32_t>(style.colour.b & 255);
    const int32_t width = surface.width(), height = surface.height();

    size_t begin = 0;
    for (int64_t line = 0; begin <= text.size(); ++line) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string visible = VisibleText(text.substr(begin, end - begin));
        begin = end + 1;

        int64_t textWidth = 0;
        for (unsigned char c : visible) textWidth += font->Get(c).advance;
        int64_t pen = area.left;
        if (style.align == AlignCentre) pen = area.left + (area.Width() - textWidth) / 2;
        else if (style.align == AlignRight) pen = int64_t(area.right) - textWidth;
        const int64_t baseline = int64_t(area.top) + line * font->lineHeight + font->ascent;

        for (unsigned char c : visible) {
            const Glyph& glyph = font->Get(c);
            const int64_t x0 = pen + glyph.left, y0 = baseline - glyph.top;
            pen += glyph.advance;
            for (int32_t gy = 0; gy < glyph.rows; ++gy) {
                const int64_t y = y0 + gy;
                if (y < 0 || y >= height) continue;
                uint32_t* row = SurfaceRow(surface, static_cast<int32_t>(y));
                const uint8_t* cover = glyph.coverage.data() + size_t(gy) * glyph.width;
                for (int32_t gx = 0; gx < glyph.width; ++gx) {
                    const int64_t x = x0 + gx;
                    const uint32_t a = cover[gx];
                    if (a == 0 || x < 0 || x >= width) continue;
                    const uint32_t d = row[x];
                    auto mix = [a](uint32_t source, uint32_t dest) {
                        return (source * a + dest * (255 - a) + 127) / 255;
                    };
                    row[x] = (d & 0xFF000000u) | mix(r, d >> 16 & 255) << 16 |
                             mix(g, d >> 8 & 255) << 8 | mix(b, d & 255);
                }
            }
        }
        if (end == text.size()) break;
    }
    return true;
}
