// The editor's graphics object, platform-independent layer: the ordered controls, mouse
// dispatch, parameter values pushed to bound controls, and the drawing operations every
// control draws through. The window layer (GraphicsWindow, with the platform's window it
// holds) and the raster layer (surfaces, primitives, paint) derive from it; only the last
// is made, through CreateGraphics.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "graphics/BitmapInfo.h"
#include "graphics/Blend.h"
#include "graphics/Colour.h"
#include "graphics/Control.h"
#include "graphics/MouseKeys.h"
#include "graphics/Rect.h"
#include "graphics/TextStyle.h"
#include "plugin/PluginEditor.h"
#include "plugin/PluginCore.h"

class CriticalSection;
class Param;
class Surface;

class Graphics : public PluginEditor {
public:
    Graphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    virtual ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Raster layer.
    bool CreateSurface() override = 0;
    virtual bool Paint() = 0;
    virtual bool DrawBitmap(const BitmapInfo& bitmap, const Rect& dest, int32_t srcX, int32_t srcY,
                            const Blend& blend) = 0;
    virtual bool DrawRotatedBitmap(const BitmapInfo& bitmap, int32_t destCentreX, int32_t destCentreY,
                                   double angleDegrees, int32_t yOffset, const Blend& blend) = 0;
    virtual bool DrawRotatedMasked(const BitmapInfo& base, const BitmapInfo& mask, const BitmapInfo& top,
                                   int32_t x, int32_t y, double angleDegrees, const Blend& blend) = 0;
    virtual bool DrawPoint(const Colour& colour, float x, float y, const Blend& blend) = 0;
    virtual bool SetPixel(const Colour& colour, int32_t x, int32_t y) = 0;
    // A run of count packed pixels stored as they are from (x, y) rightwards, as count
    // SetPixel calls would store them; whole-picture displays hand over a row at a time.
    virtual bool SetPixelRow(const uint32_t* packed, int32_t count, int32_t x, int32_t y);
    virtual bool DrawLine(const Colour& colour, float x1, float y1, float x2, float y2, const Blend& blend,
                          bool antiAlias) = 0;
    // The segments of one curve, or of two curves over the same x (second may be null), as
    // DrawLine calls in turn: segment i of the first, then of the second. Segments with an end
    // that is no finite number are left out. Rasters draw the whole run with one set of checks.
    virtual bool DrawPolylines(const Colour& colour, const float* x, const float* first, const float* second,
                               int32_t count, const Blend& blend, bool antiAlias);
    // Plain vertical lines from (x[i], from[i]) to (x[i], to[i]), as DrawLine calls in turn.
    virtual bool DrawVerticalLines(const Colour& colour, const float* x, const float* from, const float* to,
                                   int32_t count, const Blend& blend);
    virtual bool DrawArc(const Colour& colour, float cx, float cy, float radius, float startAngle, float endAngle,
                         const Blend& blend, bool antiAlias) = 0;
    virtual bool DrawCircle(const Colour& colour, float cx, float cy, float radius, const Blend& blend,
                            bool antiAlias) = 0;
    virtual bool FillRect(const Colour& colour, const Rect& rect, const Blend& blend) = 0;
    virtual bool DrawText(const TextStyle& style, const std::string& text, const Rect& rect) = 0;
    virtual Colour GetPixel(int32_t x, int32_t y) = 0;

    // Window layer.
    bool OpenWindow(void* parent) override = 0;
    void CloseWindow() override = 0;
    virtual bool IsWindowOpen() const = 0;
    virtual bool PromptParamValue(Control* control, Param* param) = 0;
    virtual std::string GetHostPath() = 0;
    virtual std::string GetPluginPath() = 0;
    virtual bool PromptForFile(std::string& path, bool save, const std::string& directory,
                               const std::string& extensions) = 0;
    virtual bool PromptForColour(Colour& colour, const std::string& title) = 0;
    // Ends a prompt under way as cancelled, from any thread (before the editor is closed
    // from another thread than the one serving it).
    void EndPrompts() override {}
    virtual bool OpenUrl(const std::string& url) = 0;
    // Puts a one-frame image control at the front: drawn first, hit last.
    virtual void AttachBackground(int32_t id);
    virtual void* GetWindowHandle() const = 0;
    // The size of image resource `id` (both 0 when it cannot be loaded); the image is not cached.
    virtual bool LoadImageResource(int32_t id, int32_t& width, int32_t& height) = 0;
    virtual void SetWindowTitle(const std::string& title) = 0;
    virtual Rect GetFloatingWindowRect() const = 0;
    virtual bool OpenFloatingWindow(const Rect& rect) = 0;

    // Controls.
    int32_t AttachControl(Control* control);
    void SetControlFromPlug(int32_t paramIdx, double value, CriticalSection* lock) override;
    int32_t ControlAt(int32_t x, int32_t y) const;
    bool IsAnyDirty(Rect& area) const;
    // The first thing of every timer tick: what the host set since the last one reaches the
    // bound controls and the plug-in's editor side (the host may set values on its audio
    // thread, which only stores them).
    void TakeHostChanges()
    {
        if (!plug) return;
        plug->DeliverParameterChanges();
        plug->EditorTick();
    }
    // The cached image `id`, loaded on first request (a failed load is cached too, 0 x 0);
    // later requests answer the first BitmapInfo whatever frame count they pass.
    BitmapInfo LoadBitmap(int32_t id, int32_t frames);

    // Mouse, in window-client coordinates: divided by the shown scale before the controls
    // see them. Ctrl + left click in the scale area cycles the scale instead.
    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys);
    void OnMouseUp(int32_t x, int32_t y);
    void OnMouseDrag(int32_t x, int32_t y, const MouseKeys& keys);
    void OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys);
    void OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps);
    bool OnMouseOver(int32_t x, int32_t y, const MouseKeys& keys);
    void OnMouseOut();

    PluginCore* Plug() const { return plug; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    int32_t ControlCount() const { return static_cast<int32_t>(controls.size()); }
    Control* ControlAtIndex(int32_t i) const;
    bool floating = false;
    bool mouseOverEnabled = false;
    std::string hostClass;
    // Where the next floating window opens (its client area); empty: the default place.
    Rect floatingPlace;

    // The window shows the surface enlarged by a whole scale, 1 to kMaxScale. The choice is
    // 0 (follow the screen) or a fixed scale; it may be set from any thread, and the window
    // takes it up at its next timer tick.
    static constexpr int32_t kMaxScale = 4;
    int32_t ScaleChoice() const { return scaleChoice.load(); }
    void SetScaleChoice(int32_t choice);
    // Automatic, 1x, 2x, 3x, 4x, automatic..., taken up at once (window thread only).
    void CycleScaleChoice();
    // The scale the editor asks for: the choice, or the screen's when automatic.
    int32_t WantedScale() const;
    // The scale the window shows: the wanted one when the window has room for it, otherwise
    // the largest that fits (1 at least).
    int32_t ShownScale() const { return shownScale; }
    // The editor's size at the wanted scale, as the host is told it; remembered as the room
    // the host makes for the next window.
    void EditorSize(int32_t& w, int32_t& h) override;
    // Where a ctrl + left click cycles the scale, in surface coordinates; empty: nowhere.
    void SetScaleArea(const Rect& area) { scaleArea = area; }
    // The window layer's scale for the screen the editor is on (1 to kMaxScale).
    virtual int32_t ScreenScale() const { return 1; }

    // The redraw rate shared by every editor of the module; a positive rate replaces it.
    static double FrameRate();
    // The redraw timer's period in milliseconds at the current frame rate (41 at 24).
    static uint32_t TimerPeriod();

protected:
    struct CachedImage {
        BitmapInfo info;
        Surface* image = nullptr;  // owned; null when the load failed
    };

    // The window layer brings the window to the wanted scale: asks the host for room (or
    // resizes itself when floating) and shows the largest scale the window holds. Window thread.
    virtual void ApplyScale() {}
    // True once after the choice changed (or the window asked for a new look at its size).
    bool TakeScaleRequest() { return scalePending.exchange(false); }
    void RequestScale() { scalePending = true; }
    // The largest scale up to the wanted one that a client area of w x h holds.
    int32_t FittingScale(int64_t w, int64_t h) const;

    // Decodes image resource `id` into a new surface the caller owns, or null.
    virtual Surface* LoadImageSurface(int32_t id) = 0;
    // The cached image of `id`, or null when it is absent or failed to load.
    Surface* CachedImageOf(int32_t id) const;

    std::vector<Control*> controls;
    PluginCore* plug;
    std::map<int32_t, CachedImage> bitmaps;
    int32_t width;
    int32_t height;
    int32_t captured = -1;
    int32_t mouseOver = -1;
    int32_t lastX = 0;
    int32_t lastY = 0;
    int32_t shownScale = 1;
    // The room the host last made (or was told of) for the editor; 0 while unknown.
    int32_t roomWidth = 0;
    int32_t roomHeight = 0;

private:
    // Window-client coordinates to surface coordinates.
    int32_t Unscaled(int32_t v) const;
    bool InScaleArea(int32_t x, int32_t y, const MouseKeys& keys) const;
    // Unscales a press and ends any capture; true when the press changed the scale instead.
    bool BeginPress(int32_t& x, int32_t& y, const MouseKeys& keys);

    std::atomic<int32_t> scaleChoice{0};
    std::atomic<bool> scalePending{false};
    Rect scaleArea;
};

// The plug-in's graphics object: every editor a plug-in is given is one.
inline Graphics* GraphicsOf(const PluginCore* plug)
{
    return plug ? static_cast<Graphics*>(plug->GetEditor()) : nullptr;
}

// Makes the platform's complete graphics object (window layer plus raster layer).
Graphics* CreateGraphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
