#include "graphics/win32/StyleFont.h"

#include <windows.h>

#include <cstring>

void* CreateStyleFont(const TextStyle& style)
{
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = style.size;
    if (style.style == TextBold) lf.lfWeight = 700;
    if (style.style == TextItalic) lf.lfItalic = 1;
    std::strncpy(lf.lfFaceName, style.face.c_str(), LF_FACESIZE - 1);
    if (style.orientation != 0) lf.lfEscapement = lf.lfOrientation = (style.orientation % 360) * 10;
    return CreateFontIndirectA(&lf);
}
