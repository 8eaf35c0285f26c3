#include "graphics/SystemSurface.h"

#include <windows.h>

#include "graphics/MemorySurface.h"

SystemSurface::SystemSurface(int32_t width, int32_t height)
{
    dc = CreateCompatibleDC(nullptr);
    resize(width, height);
}

SystemSurface::~SystemSurface()
{
    HDC hdc = static_cast<HDC>(dc);
    if (hdc && previous) SelectObject(hdc, static_cast<HGDIOBJ>(previous));
    if (section) DeleteObject(static_cast<HGDIOBJ>(section));
    if (hdc) DeleteDC(hdc);
}

bool SystemSurface::resize(int32_t width, int32_t height)
{
    if (width == w && height == h) return false;
    if (SurfaceByteSize(width, height) == 0 || !dc) return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top of the picture
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* newBits = nullptr;
    HBITMAP newSection = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &newBits, nullptr, 0);
    // Failing to get a new section keeps the old one, so the surface never loses its pixels.
    if (!newSection || !newBits) {
        if (newSection) DeleteObject(newSection);
        return false;
    }

    HDC hdc = static_cast<HDC>(dc);
    if (previous) SelectObject(hdc, static_cast<HGDIOBJ>(previous));
    if (section) DeleteObject(static_cast<HGDIOBJ>(section));
    previous = SelectObject(hdc, newSection);
    section = newSection;
    pixels = static_cast<uint32_t*>(newBits);
    w = span = width;
    h = height;
    return true;
}
