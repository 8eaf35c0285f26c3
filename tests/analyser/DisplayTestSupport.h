// Shared helpers of the display tests: a plug-in made through the entry point with its
// headless editor open, signal feeding, a graphics object that records what is drawn
// through it, and picture checks against stored PNGs.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "analyser/ResampleToColumns.h"
#include "analyser/Scales.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"

constexpr double kPi = 3.14159265358979323846;

// A stereo signal: sample n of each channel.
using Signal = std::function<void(long n, double& left, double& right)>;

Signal Constant(double left, double right);
Signal Sine(double hz, double amplitude, double rate, double panLeft = 1.0, double panRight = 1.0);

// The plug-in with its editor open at a sample rate.
class Editor {
public:
    explicit Editor(double rate = 48000.0);
    ~Editor();

    // What a parameter change pushes into the view.
    void Show(int domain, double vScale = 1.0, int fftZoom = 0, bool pause = false);
    // Feeds frames of the signal through the audio callback, in host-sized blocks.
    void Play(const Signal& signal, int frames);
    // The display shown after a whole history (24000 frames) of the signal; true when drawn.
    bool ShowHistory(int domain, const Signal& signal, double vScale = 1.0, int fftZoom = 0);
    // One timer tick; true when the view was drawn.
    bool Tick();
    // Marks the view dirty and ticks, as the next frame after new audio would.
    void Redraw();

    uint32_t Pixel(int x, int y) const { return Screen().PresentedPixel(x, y); }
    const Surface& Picture() const { return *graphics->DrawingSurface(); }
    AnalyserView& View() const { return *view; }
    AnalyserPlugin& Plugin() const { return *plugin; }
    GraphicsRaster& Window() const { return *graphics; }
    // The headless window the editor is shown on.
    HeadlessWindow& Screen() const { return *HeadlessWindow::Of(graphics); }

private:
    struct HostReset {
        HostReset() { FakeHost::Reset(); }
    } reset;
    PluginUnderTest instance;
    AnalyserPlugin* plugin = nullptr;
    AnalyserView* view = nullptr;
    GraphicsRaster* graphics = nullptr;
    long sampleCount = 0;
    int parent = 0;
};

// A graphics object that draws nothing and remembers the lines, circles and texts.
class RecordingGraphics : public Graphics {
public:
    struct Line {
        float x1, y1, x2, y2;
        BlendKind blend;
        bool antiAlias;
    };
    struct Circle {
        float cx, cy, radius;
    };
    struct Text {
        std::string text;
        Rect rect;
        int32_t align;
    };
    std::vector<Line> lines;
    std::vector<Circle> circles;
    std::vector<Text> texts;
    int pixelsSet = 0;

    RecordingGraphics() : Graphics(nullptr, 232, 96, 24.0) {}
    void Forget()
    {
        lines.clear();
        circles.clear();
        texts.clear();
        pixelsSet = 0;
    }
    // The texts drawn, in order.
    std::vector<std::string> TextsDrawn() const;

    bool CreateSurface() override { return true; }
    bool Paint() override { return true; }
    bool DrawBitmap(const BitmapInfo&, const Rect&, int32_t, int32_t, const Blend&) override { return true; }
    bool DrawRotatedBitmap(const BitmapInfo&, int32_t, int32_t, double, int32_t, const Blend&) override { return true; }
    bool DrawRotatedMasked(const BitmapInfo&, const BitmapInfo&, const BitmapInfo&, int32_t, int32_t, double,
                           const Blend&) override
    {
        return true;
    }
    bool DrawPoint(const Colour&, float, float, const Blend&) override { return true; }
    bool SetPixel(const Colour&, int32_t, int32_t) override
    {
        ++pixelsSet;
        return true;
    }
    bool DrawLine(const Colour&, float x1, float y1, float x2, float y2, const Blend& blend, bool antiAlias) override
    {
        lines.push_back({x1, y1, x2, y2, blend.kind, antiAlias});
        return true;
    }
    bool DrawArc(const Colour&, float, float, float, float, float, const Blend&, bool) override { return true; }
    bool DrawCircle(const Colour&, float cx, float cy, float radius, const Blend&, bool) override
    {
        circles.push_back({cx, cy, radius});
        return true;
    }
    bool FillRect(const Colour&, const Rect&, const Blend&) override { return true; }
    bool DrawText(const TextStyle& style, const std::string& text, const Rect& rect) override
    {
        texts.push_back({text, rect, style.align});
        return true;
    }
    Colour GetPixel(int32_t, int32_t) override { return Colour(); }
    bool OpenWindow(void*) override { return true; }
    void CloseWindow() override {}
    bool IsWindowOpen() const override { return true; }
    bool PromptParamValue(Control*, Param*) override { return false; }
    std::string GetHostPath() override { return {}; }
    std::string GetPluginPath() override { return {}; }
    bool PromptForFile(std::string&, bool, const std::string&, const std::string&) override { return false; }
    bool PromptForColour(Colour&, const std::string&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    void* GetWindowHandle() const override { return nullptr; }
    bool LoadImageResource(int32_t, int32_t&, int32_t&) override { return false; }
    void SetWindowTitle(const std::string&) override {}
    Rect GetFloatingWindowRect() const override { return Rect(); }
    bool OpenFloatingWindow(const Rect&) override { return false; }

protected:
    Surface* LoadImageSurface(int32_t) override { return nullptr; }
};

// Reaches the view's display buffers, which only its own draw writes.
class AnalyserViewProbe {
public:
    // Column c of the intensity grid of the phase (domain 2) or the spectro display.
    static FloatArray& GridColumn(AnalyserView& view, int domain, int c)
    {
        IntensityGrid& grid = domain == 2 ? view.phaseDisplay.Intensities() : view.spectroDisplay.Intensities();
        return grid.Column(c);
    }
};

// Writes the surface to <build>/actual/<name>.png and compares it pixel for pixel with
// tests/analyser/expected/<name>.png.
void ExpectPicture(const Surface& surface, const std::string& name);
