#include <cmath>
#include <limits>
#include <vector>

#include "analyser/IntensityPicture.h"
#include "tests/analyser/DisplayTestSupport.h"

namespace {

// Keeps every pixel set, so that two paints can be compared whole.
class PixelGraphics : public RecordingGraphics {
public:
    std::vector<uint32_t> pixels = std::vector<uint32_t>(232 * 96, 0u);
    bool SetPixel(const Colour& colour, int32_t x, int32_t y) override
    {
        if (x >= 0 && y >= 0 && x < 232 && y < 96) pixels[static_cast<size_t>(y * 232 + x)] = PackColour(colour);
        return true;
    }
};

// Intensities of every kind: table entries, zero, past the table, negative and no number.
float Value(int x, int y, int frame)
{
    const int k = (x * 7 + y * 3 + frame * 11) % 23;
    if (k == 0) return std::numeric_limits<float>::quiet_NaN();
    if (k == 1) return 40.0f;
    if (k == 2) return -0.5f;
    if (k == 3) return 0.0f;
    return static_cast<float>(k) / 23.0f;
}

void Fill(IntensityGrid& grid, int from, int frame)
{
    for (int x = from; x < grid.Columns(); ++x)
        for (int y = 0; y < 96; ++y) grid.Column(x)[y] = Value(x, y, frame);
}

// Moves the columns left by shift and gives the ones that come in new values.
void Scroll(IntensityGrid& grid, int shift, int frame)
{
    for (int x = 0; x + shift < grid.Columns(); ++x)
        for (int y = 0; y < 96; ++y) grid.Column(x)[y] = grid.Column(x + shift)[y];
    Fill(grid, grid.Columns() - shift, frame);
}

}  // namespace

TEST(IntensityPicture, AScrolledPaintIsTheWholePaintOfTheSameGrid)
{
    const Rect view(0, 0, 232, 96);
    const Colour background(255, 10, 20, 30), fill(255, 200, 250, 90), other(255, 0, 0, 255);
    IntensityPicture scrolled, whole;
    for (IntensityPicture* p : {&scrolled, &whole}) {
        ASSERT_TRUE(p->Grid().Resize(232, 96, true));
        Fill(p->Grid(), 0, 0);
    }
    PixelGraphics a, b;
    scrolled.Paint(a, view, background, fill, true);
    int frame = 1;
    // Scrolls by block widths, a colour change in between and a change the picture is not told of.
    for (const int shift : {9, 18, 0, 9, 231}) {
        const Colour& target = frame == 3 ? other : fill;
        Scroll(scrolled.ScrollingGrid(), shift, frame);
        if (frame == 4) scrolled.Grid().Column(5)[7] = 0.75f;
        Scroll(whole.Grid(), shift, frame);
        if (frame == 4) whole.Grid().Column(5)[7] = 0.75f;
        scrolled.PaintScrolled(a, view, background, target, true, shift);
        whole.Paint(b, view, background, target, true);
        EXPECT_EQ(a.pixels, b.pixels) << "shift " << shift;
        ++frame;
    }
}

TEST(IntensityPicture, ColumnsKeptEmptyPaintAsTheWholePaint)
{
    // Columns go empty and come back from frame to frame; some hold only -0 or a NaN, which
    // are not empty; the colours change once, and one paint is scrolled.
    const Rect view(0, 0, 232, 96);
    const Colour background(255, 10, 20, 30), fill(255, 200, 250, 90), other(255, 0, 0, 255);
    IntensityPicture kept;
    ASSERT_TRUE(kept.Grid().Resize(232, 96, true));
    PixelGraphics a;
    for (int frame = 0; frame < 6; ++frame) {
        IntensityPicture whole;
        ASSERT_TRUE(whole.Grid().Resize(232, 96, true));
        for (IntensityGrid* grid : {&kept.Grid(), &whole.Grid()})
            for (int x = 0; x < 232; ++x)
                for (int y = 0; y < 96; ++y) {
                    const int kind = (x / 3 + frame * (x % 4)) % 5;
                    float v = kind < 2 ? 0.0f : Value(x, y, frame);
                    if (kind == 0 && y == 50 && x % 7 == 0) v = x % 2 ? -0.0f : std::numeric_limits<float>::quiet_NaN();
                    grid->Column(x)[y] = v;
                }
        const Colour& target = frame == 3 ? other : fill;
        if (frame == 4)
            kept.PaintScrolled(a, view, background, target, true, 0);
        else
            kept.Paint(a, view, background, target, true);
        PixelGraphics b;
        whole.Paint(b, view, background, target, true);
        EXPECT_EQ(a.pixels, b.pixels) << "frame " << frame;
    }
}
