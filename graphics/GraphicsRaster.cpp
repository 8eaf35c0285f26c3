#include "graphics/GraphicsRaster.h"

#include <climits>
#include <cmath>

#include "graphics/Arc.h"
#include "graphics/Blit.h"
#include "graphics/Fill.h"
#include "graphics/Line.h"
#include "graphics/Pixels.h"
#include "graphics/RotatedBlit.h"

namespace {

constexpr double RadiansPerDegree = 0.017453292519943295;

}  // namespace

GraphicsRaster::GraphicsRaster(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : GraphicsWindow(plug, width, height, framesPerSecond)
{
}

GraphicsRaster::~GraphicsRaster()
{
    // The window goes before the surface it shows.
    CloseWindow();
}

bool GraphicsRaster::CreateSurface()
{
    if (!surface) {
        surface = std::make_unique<SystemSurface>(width, height);
        scratch = std::make_unique<MemorySurface>(0, 0);
    }
    dirtyRecords.assign(controls.size(), DirtyRecord());
    return HasPixels(*surface);
}

bool GraphicsRaster::Paint()
{
    const bool windowPaint = BeginWindowPaint();
    // Controls belong before the surface is made; one attached later still gets a record.
    if (dirtyRecords.size() != controls.size()) dirtyRecords.resize(controls.size());
    const size_t count = controls.size();

    // Take each control's dirty flag as it is now and clear it at once: a mark set by another
    // thread while the controls draw then stays for the next tick instead of being lost.
    for (size_t i = 0; i < count; ++i) {
        Control* control = controls[i];
        DirtyRecord& record = dirtyRecords[i];
        record.dirty = control && control->IsDirty();
        if (record.dirty) {
            record.rect = control->DrawRect();
            control->SetClean();
        }
    }

    // Merge overlapping (and edge-touching) areas so that a control is not drawn twice.
    for (size_t i = 0; i < count; ++i) {
        if (!dirtyRecords[i].dirty) continue;
        for (size_t j = 0; j < count; ++j) {
            if (j == i || !dirtyRecords[j].dirty) continue;
            Rect& a = dirtyRecords[i].rect;
            const Rect& b = dirtyRecords[j].rect;
            if (!a.IsEmpty() && !b.IsEmpty() && RectsOverlap(a, b)) {
                a = RectUnion(a, b);
                dirtyRecords[j].dirty = 0;
            }
        }
    }

    if (surface) {
        for (size_t i = 0; i < count; ++i) {
            if (!dirtyRecords[i].dirty) continue;
            drawRect = dirtyRecords[i].rect;
            for (Control* control : controls) {
                if (!control || control->IsHidden()) continue;
                const Rect& r = control->DrawRect();
                if (!r.IsEmpty() && RectsOverlap(drawRect, r)) control->Draw(*this);
            }
        }
    }
    drawRect = Rect();

    return windowPaint && PresentPaint(surface.get());
}

bool GraphicsRaster::DrawBitmap(const BitmapInfo& bitmap, const Rect& dest, int32_t srcX, int32_t srcY,
                                const Blend& blend)
{
    const Surface* image = CachedImageOf(bitmap.id);
    if (!image) return false;
    // Only the part inside the area being repainted is drawn.
    const Rect r = RectIntersection(dest, drawRect);
    const int64_t fromX = static_cast<int64_t>(srcX) + r.left - dest.left;
    const int64_t fromY = static_cast<int64_t>(srcY) + r.top - dest.top;
    if (fromX < INT32_MIN || fromX > INT32_MAX || fromY < INT32_MIN || fromY > INT32_MAX) return true;
    BlitFrom(surface.get(), image, r.left, r.top, static_cast<int32_t>(fromX), static_cast<int32_t>(fromY),
             static_cast<int32_t>(r.Width()), static_cast<int32_t>(r.Height()), blend.weight,
             RasterModeFor(blend));
    return true;
}

bool GraphicsRaster::DrawRotatedBitmap(const BitmapInfo& bitmap, int32_t destCentreX, int32_t destCentreY,
                                       double angleDegrees, int32_t yOffset, const Blend& blend)
{
    const Surface* image = CachedImageOf(bitmap.id);
    if (!image) return false;
    const int32_t w = image->width();
    const int32_t h = image->height();
    RotatedBlit(surface.get(), image, destCentreX - w / 2, destCentreY - h / 2, w, h, 0.0f, 0.0f,
                static_cast<float>(w), static_cast<float>(h), static_cast<float>(angleDegrees * RadiansPerDegree),
                false, blend.weight, RasterModeFor(blend) | Filtered, 0.0f, static_cast<float>(yOffset));
    return true;
}

bool GraphicsRaster::DrawRotatedMasked(const BitmapInfo& base, const BitmapInfo& mask, const BitmapInfo& top,
                                       int32_t x, int32_t y, double angleDegrees, const Blend& blend)
{
    const Surface* baseImage = CachedImageOf(base.id);
    const Surface* maskImage = CachedImageOf(mask.id);
    const Surface* topImage = CachedImageOf(top.id);
    if (!baseImage || !maskImage || !topImage || !scratch) return false;
    const int32_t w = baseImage->width();
    const int32_t h = baseImage->height();
    const float angle = static_cast<float>(angleDegrees * RadiansPerDegree);
    // The scratch picture is the base without alpha; the turned mask adds alpha back and the
    // turned top image goes over it.
    CopySurface(scratch.get(), baseImage);
    MaskFill(scratch.get(), 0, 0, w, h, 0xFFFFFF, 0);
    const float offset = w % 2 == 0 ? 0.0f : -0.5f;
    RotatedBlit(scratch.get(), maskImage, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                angle, true, 1.0f, RasterAdd | Filtered | UseSourceAlpha, offset, 0.0f);
    RotatedBlit(scratch.get(), topImage, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                angle, true, 1.0f, RasterCopy | Filtered | UseSourceAlpha, offset, 0.0f);
    const Rect whole(0, 0, w, h);
    Blit(surface.get(), scratch.get(), x, y, &whole, blend.weight, RasterModeFor(blend));
    return true;
}

bool GraphicsRaster::DrawPoint(const Colour& colour, float x, float y, const Blend& blend)
{
    if (surface) ::DrawPoint(*surface, PackColour(colour), x, y, RasterModeFor(blend), blend.weight);
    return true;
}

bool GraphicsRaster::SetPixel(const Colour& colour, int32_t x, int32_t y)
{
    if (surface) ::SetPixel(*surface, PackColour(colour), x, y);
    return true;
}

bool GraphicsRaster::SetPixelRow(const uint32_t* packed, int32_t count, int32_t x, int32_t y)
{
    if (!packed) return false;
    if (surface) ::SetPixelRow(*surface, packed, count, x, y);
    return true;
}

bool GraphicsRaster::DrawLine(const Colour& colour, float x1, float y1, float x2, float y2, const Blend& blend,
                              bool antiAlias)
{
    if (surface) ::DrawLine(*surface, PackColour(colour), x1, y1, x2, y2, RasterModeFor(blend), blend.weight, antiAlias);
    return true;
}

bool GraphicsRaster::DrawPolylines(const Colour& colour, const float* x, const float* first, const float* second,
                                   int32_t count, const Blend& blend, bool antiAlias)
{
    if (!x || !first) return false;
    if (surface)
        ::DrawPolylines(*surface, PackColour(colour), x, first, second, count, RasterModeFor(blend), blend.weight,
                        antiAlias);
    return true;
}

bool GraphicsRaster::DrawVerticalLines(const Colour& colour, const float* x, const float* from, const float* to,
                                       int32_t count, const Blend& blend)
{
    if (!x || !from || !to) return false;
    if (surface) ::DrawVerticalLines(*surface, PackColour(colour), x, from, to, count, RasterModeFor(blend), blend.weight);
    return true;
}

bool GraphicsRaster::DrawArc(const Colour& colour, float cx, float cy, float radius, float startAngle,
                             float endAngle, const Blend& blend, bool antiAlias)
{
    if (surface)
        ::DrawArc(*surface, PackColour(colour), cx, cy, radius, startAngle, endAngle, RasterModeFor(blend),
                  blend.weight, antiAlias);
    return true;
}

bool GraphicsRaster::DrawCircle(const Colour& colour, float cx, float cy, float radius, const Blend& blend,
                                bool antiAlias)
{
    if (surface) ::DrawCircle(*surface, PackColour(colour), cx, cy, radius, RasterModeFor(blend), blend.weight, antiAlias);
    return true;
}

bool GraphicsRaster::FillRect(const Colour& colour, const Rect& rect, const Blend& blend)
{
    if (surface) ::FillRect(*surface, PackColour(colour), rect, RasterModeFor(blend), blend.weight);
    return true;
}

bool GraphicsRaster::DrawText(const TextStyle& style, const std::string& str, const Rect& rect)
{
    return surface && text.DrawText(*surface, style, str, rect);
}

Colour GraphicsRaster::GetPixel(int32_t x, int32_t y)
{
    return surface ? ::GetPixel(*surface, x, y) : Colour();
}

Surface* GraphicsRaster::LoadImageSurface(int32_t id)
{
    return LoadModuleImage(id);
}

bool GraphicsRaster::LoadImageResource(int32_t id, int32_t& w, int32_t& h)
{
    std::unique_ptr<Surface> image(LoadImageSurface(id));
    w = image ? image->width() : 0;
    h = image ? image->height() : 0;
    return image != nullptr;
}

Graphics* CreateGraphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
{
    // A failure to allocate, or a platform that cannot make its window part, is no editor.
    try {
        return new GraphicsRaster(plug, width, height, framesPerSecond);
    } catch (...) {
        return nullptr;
    }
}
