// The native build's window layer: an off-screen window that behaves like the editor's
// Win32 window. Tests and tools open it, drive its timer with Tick(), send it mouse events
// as the window procedure would receive them, and read back the pixels it presents.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/MemorySurface.h"

class SystemSurface;

class HeadlessWindow : public Graphics {
public:
    HeadlessWindow(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~HeadlessWindow() override;

    // Any parent is accepted, null included: nothing is shown anywhere. Opening twice in
    // floating mode keeps the first window; in child mode the window is made anew in place.
    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return open; }
    // There is no edit box: the prompt is recorded and answers as cancelled.
    bool PromptParamValue(Control* control, Param* param) override;
    // Folders end with a slash. The plug-in's is the folder of the file holding this code,
    // unless a test has named one with SetPluginPath to lay files "beside the plug-in".
    std::string GetHostPath() override;
    std::string GetPluginPath() override;
    void SetPluginPath(const std::string& folder) { pluginPath = folder; }
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    // Cancelled unless a test has set an answer with AnswerColourPrompt; false without a window.
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // Nothing is opened; the address is recorded and the request reported as refused.
    bool OpenUrl(const std::string& url) override;
    void* GetWindowHandle() const override { return open ? const_cast<HeadlessWindow*>(this) : nullptr; }
    void SetWindowTitle(const std::string& title) override;
    Rect GetFloatingWindowRect() const override;
    bool OpenFloatingWindow(const Rect& rect) override;

    // What the window's timer does, after letting any pending paint through as the message
    // loop would: a new scale choice is taken up, the dirty controls' area is invalidated and
    // painted at once. True when a paint ran. Nothing happens while the window is closed.
    bool Tick();

    // The scale of the (imaginary) screen, as its DPI / 96 would give it; 1 at first. A
    // change reaches an open window at once, as the system's DPI message would.
    void SetScreenScale(int32_t scale);
    int32_t ScreenScale() const override { return screenScale; }
    // Marks part of the client area for repainting, as an expose would.
    void Invalidate(const Rect& area);

    // The client area as last presented, ClientWidth() * ClientHeight() pixels, rows top
    // first; empty while the window is closed. A new (or resized) window starts black.
    const std::vector<uint32_t>& PresentedPixels() const { return presented; }
    uint32_t PresentedPixel(int32_t x, int32_t y) const;
    int32_t PaintCount() const { return paintCount; }
    Rect LastPaintArea() const { return lastPaintArea; }
    int32_t ClientWidth() const { return clientWidth; }
    int32_t ClientHeight() const { return clientHeight; }

    // Mouse input in client coordinates, routed as the window procedure routes the
    // messages. A button press takes the capture and a release lets it go; a move with a
    // button held is a drag (only while the capture is held), without one a hover, which
    // arms the leave notice that MouseLeave then delivers. Wheel takes the raw wheel delta
    // (120 per notch). Ignored while the window is closed.
    void MouseDown(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseUp(int32_t x, int32_t y);
    void MouseMove(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseDoubleClick(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t wheelDelta);
    void MouseLeave();

    // What reached the window layer's services.
    const std::string& WindowTitle() const { return title; }
    // The window's outer rectangle on the (imaginary) screen, the parent at the origin.
    Rect WindowRect() const { return windowRect; }
    void* HostParent() const { return hostParent; }
    int32_t PromptCount() const { return promptCount; }
    Control* PromptedControl() const { return promptedControl; }
    Param* PromptedParam() const { return promptedParam; }
    const std::string& LastUrl() const { return lastUrl; }
    const std::string& LastColourTitle() const { return lastColourTitle; }
    void AnswerColourPrompt(bool confirm, const Colour& answer);

    // The native build's library carries no resources: tests give the editor PNG images
    // under an id here, found by the image loader as the DLL finds its "PNG" resources.
    void AddImageResource(int32_t id, std::vector<uint8_t> png);

    // Windows of this kind open in the whole module.
    static int32_t OpenWindowCount();

protected:
    // The platform part of Paint: opens the window's paint (the pending area becomes the
    // paint area) and, once the surface is drawn, presents that area and closes the paint.
    bool BeginWindowPaint();
    bool PresentPaint(const SystemSurface* surface);
    // Decodes the module's image resource `id` into a new surface, or null.
    Surface* LoadModuleImage(int32_t id);
    void ApplyScale() override;

private:
    bool CreateWindowAt(const Rect& outer);
    // Gives the client area a new size, its pixels black until the next paint.
    bool SizeClient(int32_t w, int32_t h);

    bool open = false;
    bool painting = false;
    bool hasCapture = false;
    bool trackingLeave = false;
    void* hostParent = nullptr;
    Rect windowRect;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t screenScale = 1;
    MemorySurface scaled{0, 0};
    Rect invalid;
    Rect paintArea;
    Rect lastPaintArea;
    int32_t paintCount = 0;
    std::vector<uint32_t> presented;
    std::string title;
    int32_t promptCount = 0;
    Control* promptedControl = nullptr;
    Param* promptedParam = nullptr;
    std::string lastUrl;
    std::string pluginPath;
    std::string lastColourTitle;
    bool colourConfirm = false;
    Colour colourAnswer;
    std::map<int32_t, std::vector<uint8_t>> imageResources;
};
