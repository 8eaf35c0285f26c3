// Checks the Win32 side of the graphics layer under Wine: PNG resources found with
// FindResourceA in a test DLL and decoded by LoadPngResource, the DIB-section surface and
// GDI text. Prints one line per check and a closing "N passed, M failed".
#include <windows.h>
#undef DrawText

#include <cstdio>
#include <memory>

#include "graphics/Fill.h"
#include "graphics/MemorySurface.h"
#include "graphics/PngLoader.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextPainter.h"

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    ++(ok ? passed : failed);
}

bool PixelsAre(const Surface* s, int32_t w, int32_t h, const uint32_t* expected)
{
    if (!s || s->width() != w || s->height() != h || !s->bits()) return false;
    for (int32_t i = 0; i < w * h; ++i)
        if (s->bits()[i] != expected[i]) {
            std::printf("     pixel %d is %08lX, expected %08lX\n", static_cast<int>(i),
                        static_cast<unsigned long>(s->bits()[i]), static_cast<unsigned long>(expected[i]));
            return false;
        }
    return true;
}

void CheckResources(HMODULE module)
{
    const uint32_t rgba[6] = {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0x40102030u, 0xFFC86432u, 0x04010203u};
    const uint32_t palette[4] = {0x000A141Eu, 0x6328323Cu, 0xFF46505Au, 0xFFFFFFFFu};
    std::unique_ptr<Surface> first(LoadPngResource(module, 1, nullptr));
    Check(PixelsAre(first.get(), 3, 2, rgba), "resource 1: 3 x 2 RGBA image decoded");
    std::unique_ptr<Surface> second(LoadPngResource(module, 2, nullptr));
    Check(PixelsAre(second.get(), 4, 1, palette), "resource 2: 4-bit palette with tRNS decoded");
    MemorySurface given(9, 9);
    Check(LoadPngResource(module, 2, &given) == &given && PixelsAre(&given, 4, 1, palette),
          "resource 2 decoded into a given surface, resized");
    Check(LoadPngResource(module, 3, nullptr) == nullptr, "missing id 3 gives null");
    Check(LoadPngResource(module, 0x10001, nullptr) == nullptr, "id beyond 16 bits gives null");
    Check(LoadPngResource(GetModuleHandleA(nullptr), 1, nullptr) == nullptr,
          "a module without PNG resources gives null");
}

void CheckSurfaceAndText()
{
    SystemSurface s(232, 96);
    Check(s.bits() != nullptr && s.deviceContext() != nullptr && s.rowSpan() == 232,
          "system surface: DIB section selected into a memory DC");
    bool clear = s.bits() != nullptr;
    for (int i = 0; clear && i < 232 * 96; ++i) clear = s.bits()[i] == 0;
    Check(clear, "system surface starts cleared");
    Check(!s.resize(0, 96) && s.width() == 232 && s.bits() != nullptr, "resize to zero keeps the section");
    if (!s.bits()) return;

    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 232, 96), RasterCopy, 1.0f);
    // GDI must see our pixels and we must see GDI's: a 1 x 1 BitBlt round trip.
    HDC dc = static_cast<HDC>(s.deviceContext());
    Check(GetPixel(dc, 5, 5) == RGB(255, 255, 255), "GDI reads the pixels the raster code wrote");

    TextPainter painter;
    const TextStyle big("Arial", 20, Colour(255, 0, 0, 255), TextBold, AlignLeft, 0);
    const TextStyle small("Arial", 10, Colour(255, 255, 0, 0), TextNormal, AlignLeft, 0);
    Check(painter.DrawText(s, big, "Wide", Rect(4, 4, 228, 40)), "DrawTextA reports text drawn");
    int top = 96, bottom = -1, right = -1;
    bool blue = false;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 232; ++x) {
            const uint32_t p = s.bits()[y * 232 + x] & 0xFFFFFF;
            if (p == 0xFFFFFF) continue;
            top = y < top ? y : top;
            bottom = y > bottom ? y : bottom;
            right = x > right ? x : right;
            blue |= p == 0x0000FF;
        }
    std::printf("     first text ink rows %d..%d, right edge %d\n", top, bottom, right);
    Check(top >= 4 && bottom <= 4 + 20 && bottom - top >= 8, "text sits on the first line of the rectangle");
    Check(blue, "text drawn in the style's colour");

    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 232, 96), RasterCopy, 1.0f);
    painter.DrawText(s, small, "Wide", Rect(4, 4, 228, 40));
    int right2 = -1;
    bool red = false;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 232; ++x) {
            const uint32_t p = s.bits()[y * 232 + x] & 0xFFFFFF;
            if (p == 0xFFFFFF) continue;
            right2 = x > right2 ? x : right2;
            red |= p == 0xFF0000;
        }
    Check(right2 == right && red, "a later smaller style keeps the first font, with its own colour");
}

}  // namespace

int main()
{
    HMODULE module = LoadLibraryA("pngresources.dll");
    Check(module != nullptr, "test DLL with PNG resources loaded");
    if (module) CheckResources(module);
    CheckSurfaceAndText();
    if (module) FreeLibrary(module);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
