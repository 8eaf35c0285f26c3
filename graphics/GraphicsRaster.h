// The graphics object's raster layer, the one that is made: the editor's surfaces, the
// drawing operations controls draw through, the image operations and the paint that
// redraws only what is dirty. The window layer beneath it shows the picture.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/GraphicsWindow.h"
#include "graphics/MemorySurface.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextPainter.h"

class GraphicsRaster final : public GraphicsWindow {
public:
    GraphicsRaster(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~GraphicsRaster() override;

    bool CreateSurface() override;
    // Draws every dirty control, and every control overlapping a dirty one, into the surface
    // and presents the window's paint area. True when the window took the picture.
    bool Paint() override;

    bool DrawBitmap(const BitmapInfo& bitmap, const Rect& dest, int32_t srcX, int32_t srcY,
                    const Blend& blend) override;
    bool DrawRotatedBitmap(const BitmapInfo& bitmap, int32_t destCentreX, int32_t destCentreY,
                           double angleDegrees, int32_t yOffset, const Blend& blend) override;
    bool DrawRotatedMasked(const BitmapInfo& base, const BitmapInfo& mask, const BitmapInfo& top, int32_t x,
                           int32_t y, double angleDegrees, const Blend& blend) override;
    bool DrawPoint(const Colour& colour, float x, float y, const Blend& blend) override;
    bool SetPixel(const Colour& colour, int32_t x, int32_t y) override;
    bool SetPixelRow(const uint32_t* packed, int32_t count, int32_t x, int32_t y) override;
    bool DrawPolylines(const Colour& colour, const float* x, const float* first, const float* second, int32_t count,
                       const Blend& blend, bool antiAlias) override;
    bool DrawVerticalLines(const Colour& colour, const float* x, const float* from, const float* to, int32_t count,
                           const Blend& blend) override;
    bool DrawLine(const Colour& colour, float x1, float y1, float x2, float y2, const Blend& blend,
                  bool antiAlias) override;
    bool DrawArc(const Colour& colour, float cx, float cy, float radius, float startAngle, float endAngle,
                 const Blend& blend, bool antiAlias) override;
    bool DrawCircle(const Colour& colour, float cx, float cy, float radius, const Blend& blend,
                    bool antiAlias) override;
    bool FillRect(const Colour& colour, const Rect& rect, const Blend& blend) override;
    bool DrawText(const TextStyle& style, const std::string& text, const Rect& rect) override;
    Colour GetPixel(int32_t x, int32_t y) override;
    bool LoadImageResource(int32_t id, int32_t& width, int32_t& height) override;

    // The editor's picture (null before CreateSurface) and the area being repainted (all
    // zero outside Paint).
    const SystemSurface* DrawingSurface() const { return surface.get(); }
    const Rect& PaintArea() const { return drawRect; }
    // The font every text of this editor uses, chosen by the first text drawn.
    bool FontChosen() const { return text.fontChosen(); }

protected:
    Surface* LoadImageSurface(int32_t id) override;

private:
    struct DirtyRecord {
        Rect rect;
        uint8_t dirty = 0;
    };

    std::unique_ptr<SystemSurface> surface;
    std::unique_ptr<MemorySurface> scratch;
    Rect drawRect;
    std::vector<DirtyRecord> dirtyRecords;
    TextPainter text;
};
