// Draws text onto the system surface. The first style a painter is given chooses its font
// for good; later calls only bring their own colour and alignment.
#pragma once

#include <string>

#include "graphics/Rect.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextStyle.h"

class TextPainter {
public:
    TextPainter();
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Draws `text` starting on the first line of `area`, aligned left, centred or right, and
    // not clipped to `area`. The size is the font's cell height (internal leading included).
    // In the DLL this is GDI's DrawTextA on the surface's device context; natively FreeType
    // with the face resolved through fontconfig ("Arial" becomes Liberation Sans).
    // False when the text could not be drawn (no font, no device context).
    bool DrawText(SystemSurface& surface, const TextStyle& style, const std::string& text, const Rect& area);

    bool fontChosen() const { return chosen; }
    // The style whose face, size and weight every text of this painter uses.
    const TextStyle& fontStyle() const { return chosenStyle; }

private:
    struct Font;
    Font* font = nullptr;
    bool chosen = false;
    TextStyle chosenStyle;
};
