#include "graphics/TextPainter.h"

#include <windows.h>
// windows.h maps DrawText to DrawTextA; our member keeps its own name.
#undef DrawText

#include "graphics/win32/StyleFont.h"

struct TextPainter::Font {
    HFONT handle = nullptr;
};

TextPainter::TextPainter() : font(new Font) {}

TextPainter::~TextPainter()
{
    // The font is never left selected in a device context, so it can go at once.
    if (font->handle) DeleteObject(font->handle);
    delete font;
}

bool TextPainter::DrawText(SystemSurface& surface, const TextStyle& style, const std::string& text,
                           const Rect& area)
{
    HDC dc = static_cast<HDC>(surface.deviceContext());
    if (!dc) return false;
    if (!chosen) {
        chosen = true;
        chosenStyle = style;
        font->handle = static_cast<HFONT>(CreateStyleFont(style));
    }

    // Select for this call only and restore afterwards, so the font can be freed whenever the
    // painter goes, whatever becomes of the surface.
    HGDIOBJ previous = font->handle ? SelectObject(dc, font->handle) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(style.colour.r & 255, style.colour.g & 255, style.colour.b & 255));
    RECT rect = {area.left, area.top, area.right, area.bottom};
    UINT format = DT_NOCLIP;
    if (style.align == AlignCentre) format |= DT_CENTER;
    else if (style.align == AlignRight) format |= DT_RIGHT;
    else format |= DT_LEFT;
    const int drawn = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    if (previous) SelectObject(dc, previous);
    // GDI batches its drawing; the pixels must be final before the raster code touches them.
    GdiFlush();
    return drawn != 0;
}
