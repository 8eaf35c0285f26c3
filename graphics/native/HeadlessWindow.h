// The native build's platform window: an off-screen window that behaves like the editor's
// Win32 window. Tests and tools open the editor on it, drive its timer with Tick(), send it
// mouse events as the window procedure would receive them, and read back the pixels it
// presents.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graphics/MouseKeys.h"
#include "graphics/PlatformWindow.h"

class Graphics;
class GraphicsWindow;

class HeadlessWindow final : public PlatformWindow {
public:
    explicit HeadlessWindow(GraphicsWindow& editor);
    ~HeadlessWindow() override;

    // The headless window of an editor made in the native build; null for any other.
    static HeadlessWindow* Of(const Graphics* graphics);
    // The editor this window shows.
    GraphicsWindow& Editor() const { return editor; }

    // Any parent is accepted, null included: nothing is shown anywhere.
    bool CreateChild(void* parent, const Rect& place) override;
    bool CreateFloating(const Rect& client, const std::string& title) override;
    void Destroy() override;
    bool Exists() const override { return open; }
    void* Handle() const override { return open ? const_cast<HeadlessWindow*>(this) : nullptr; }
    Rect Place() const override { return windowRect; }
    bool OwnsItsSize() const override { return floating; }
    void Resize(int32_t w, int32_t h) override;
    void SetTitle(const std::string& text) override { title = text; }
    Rect FloatingRect() const override;
    int32_t ScreenScale() const override { return screenScale; }
    void PaintNow() override;
    bool BeginPaint(Rect& area) override;
    bool Present(const Surface* picture, const Rect& area) override;
    // There is no edit box: the prompt is recorded and answers as cancelled.
    bool PromptParamValue(Control* control, Param* param) override;
    // Cancelled unless a test has set an answer with AnswerColourPrompt.
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // Nothing is opened; the address is recorded and the request reported as refused.
    bool OpenUrl(const std::string& url) override;
    std::string HostFolder() const override;
    // The folder of the module holding this code, unless a test has named one with
    // SetPluginPath to lay files "beside the plug-in".
    std::string PluginFolder() const override;
    Surface* LoadModuleImage(int32_t id) override;

    // What the window's timer does: true when a paint ran. Nothing happens while closed.
    bool Tick();

    // The scale of the (imaginary) screen, as its DPI / 96 would give it; 1 at first. A
    // change reaches an open window at once, as the system's DPI message would.
    void SetScreenScale(int32_t scale);
    // Marks part of the client area for repainting, as the system's expose would.
    void Expose(const Rect& area);

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
    // (120 per notch). Ignored while the window is closed. Each is one event of the editor,
    // as a message to its window procedure is: a host that closes the plug-in meanwhile ends
    // it (and this window) only when the event returns.
    void MouseDown(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseUp(int32_t x, int32_t y);
    void MouseMove(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseDoubleClick(int32_t x, int32_t y, const MouseKeys& keys);
    void MouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t wheelDelta);
    void MouseLeave();

    // What reached the window's services.
    const std::string& WindowTitle() const { return title; }
    // The window's outer rectangle on the (imaginary) screen, the parent at the origin.
    Rect WindowRect() const { return windowRect; }
    void* HostParent() const;
    int32_t PromptCount() const { return promptCount; }
    Control* PromptedControl() const { return promptedControl; }
    Param* PromptedParam() const { return promptedParam; }
    const std::string& LastUrl() const { return lastUrl; }
    const std::string& LastColourTitle() const { return lastColourTitle; }
    void AnswerColourPrompt(bool confirm, const Colour& answer);
    // What the host does while the colour prompt is up, as a modal dialog lets it.
    void SetDuringColourPrompt(std::function<void()> during) { duringColourPrompt = std::move(during); }
    void SetPluginPath(const std::string& folder) { pluginPath = folder; }

    // The native build's library carries no resources: tests give the editor PNG images
    // under an id here, found by the image loader as the DLL finds its "PNG" resources.
    void AddImageResource(int32_t id, std::vector<uint8_t> png);

    // Windows of this kind open in the whole module.
    static int32_t OpenWindowCount();

private:
    bool CreateAt(const Rect& outer, bool floatingWindow);
    // Gives the client area a new size, its pixels black until the next paint.
    bool SizeClient(int32_t w, int32_t h);

    GraphicsWindow& editor;
    bool open = false;
    bool floating = false;
    bool painting = false;
    Rect windowRect;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t screenScale = 1;
    Rect lastPaintArea;
    int32_t paintCount = 0;
    std::vector<uint32_t> presented;
    std::string title;
    int32_t promptCount = 0;
    Control* promptedControl = nullptr;
    Param* promptedParam = nullptr;
    std::string lastUrl;
    std::string lastColourTitle;
    bool colourConfirm = false;
    Colour colourAnswer;
    std::function<void()> duringColourPrompt;
    std::string pluginPath;
    std::map<int32_t, std::vector<uint8_t>> imageResources;
};
