// What differs between the platforms' editor windows: making and dropping the window, its
// size, putting the picture on it, and the system's dialogs and services. The window layer
// (GraphicsWindow) does all the rest once, for every platform: the scale, the floating or
// child choice, the timer tick, and the mouse's capture, hover and leave.
//
// Each platform's folder defines one (graphics/win32, graphics/x11, graphics/native), with
// MakePlatformWindow; which one a program has is chosen when it is linked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Colour.h"
#include "graphics/Rect.h"

class Control;
class GraphicsWindow;
class Param;
class Surface;

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Readies what the window's size depends on (the screen), before any size is chosen.
    virtual bool Prepare() { return true; }
    // Whether `parent` is a window the platform can put a child in.
    virtual bool CanParent(void* /*parent*/) const { return true; }
    // A window inside the host's `parent` with its client area at `place` (parent
    // coordinates). Both makers tell the editor the client size (ClientResized).
    virtual bool CreateChild(void* parent, const Rect& place) = 0;
    // A window of its own whose client area is `client` (screen coordinates), titled `title`.
    virtual bool CreateFloating(const Rect& client, const std::string& title) = 0;
    virtual void Destroy() = 0;
    virtual bool Exists() const = 0;
    virtual void* Handle() const = 0;
    // The client area's place in the parent, for making the window anew in place.
    virtual Rect Place() const = 0;
    // Whether the window's size is ours to set, not the host's (a window of its own).
    virtual bool OwnsItsSize() const = 0;
    // Gives the client area a new size and tells the editor the size it got.
    virtual void Resize(int32_t w, int32_t h) = 0;
    // Whether the parent has room for a client area of w x h where the window is.
    virtual bool ParentHolds(int32_t /*w*/, int32_t /*h*/) const { return false; }
    virtual void SetTitle(const std::string& title) = 0;
    // A window of its own: its client area on the screen, all zero without a window.
    virtual Rect FloatingRect() const = 0;
    // The screen's density as a whole scale, at least 1.
    virtual int32_t ScreenScale() const { return 1; }

    // Painting. Invalidate tells the system of an area the editor will repaint; PaintNow
    // has it repainted at once (through BeginPaint and Present, inside the editor's Paint).
    virtual void Invalidate(const Rect& /*area*/) {}
    virtual void PaintNow() = 0;
    // Opens the paint; `area` comes with what the editor has to repaint and may grow by what
    // the system asks for. False without a window.
    virtual bool BeginPaint(Rect& area) = 0;
    // Puts `picture` (at the shown scale; null: nothing to put) on the paint area, black
    // where the window is larger, and closes the paint. True when the window took it.
    virtual bool Present(const Surface* picture, const Rect& area) = 0;

    // The mouse: the platform's own capture, and a notice when the pointer leaves.
    virtual void Capture(bool /*held*/) {}
    virtual void TrackLeave() {}

    // A timer tick that the platform's own business takes (a value prompt being served):
    // true when the editor's tick is to be skipped.
    virtual bool TakesTick() { return false; }

    // Dialogs and services; the platforms without them answer as cancelled.
    virtual bool PromptParamValue(Control* /*control*/, Param* /*param*/) { return false; }
    virtual bool PromptForColour(Colour& /*colour*/, const std::string& /*title*/) { return false; }
    // Ends a prompt under way as cancelled and refuses new ones until the window is made
    // anew; called from any thread, ahead of closing the editor from there.
    virtual void EndPrompts() {}
    virtual bool PromptForFile(std::string& path, bool /*save*/, const std::string& /*directory*/,
                               const std::string& /*extensions*/)
    {
        path.clear();
        return false;
    }
    virtual bool OpenUrl(const std::string& url) = 0;
    // Folders end with the platform's separator; empty when unknown.
    virtual std::string HostFolder() const = 0;
    virtual std::string PluginFolder() const = 0;
    // Decodes the plug-in module's image resource `id` into a new surface, or null.
    virtual Surface* LoadModuleImage(int32_t id) = 0;
};

// The platform this program is linked with, for one editor.
std::unique_ptr<PlatformWindow> MakePlatformWindow(GraphicsWindow& editor);
