// The colour chooser in a small top-level window of its own over the editor, on the editor's
// connection: titled with the prompt's title, transient for the host's window, the chooser's
// picture shown at the editor's scale. Keys and the mouse go to the chooser; closing the
// window cancels. The editor's window runs the loop that serves it.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/x11/X11Image.h"

class ColourChooser;
class X11Connection;
union _XEvent;

class X11ColourDialog {
public:
    X11ColourDialog(X11Connection& connection, ColourChooser& chooser, int32_t scale);
    ~X11ColourDialog();
    X11ColourDialog(const X11ColourDialog&) = delete;
    X11ColourDialog& operator=(const X11ColourDialog&) = delete;

    // Makes and maps the window, centred over the window `over` (whose client area is
    // w x h) and kept above the top-level window that holds it. False when it cannot be made.
    bool Open(unsigned long over, int32_t w, int32_t h);
    unsigned long WindowId() const { return window; }
    // An event for the dialog's window.
    void Handle(const _XEvent& event);
    // Puts the chooser's picture on the window when it has changed or was exposed.
    void Show();

private:
    int32_t Unscaled(int32_t v) const;

    X11Connection& connection;
    ColourChooser& chooser;
    int32_t scale;
    unsigned long window = 0;
    _XGC* gc = nullptr;
    X11Image image;
    std::vector<uint32_t> pixels;
    bool exposed = false;
    bool pressed = false;
};
