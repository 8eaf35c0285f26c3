// What the user does with the mouse on the view: clicks toggle pause and step the domain and
// the zoom band, the wheel and modified drags change the v scale, a double click resets,
// right clicks with modifiers choose the four user colours and the corner square opens the
// user guide.
//
// The handlers first take up what the host set since the last tick, then read the state last
// asked for (not the state last drawn, which lags by up to a frame) under the plug-in lock,
// and change it without the lock: the host hears of every change, and no lock of ours may be
// held while it does. Colour prompts are modal: no lock is held while one is open either.
#include "analyser/AnalyserView.h"

#include <cstdio>
#include <string>

#include "analyser/AnalyserPlugin.h"
#include "graphics/FileUrl.h"
#include "graphics/Graphics.h"
#include "plugin/HostId.h"
#include "plugin/HostServices.h"
#include "plugin/PluginCore.h"

namespace {

bool Inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

bool AnyModifier(const MouseKeys& keys) { return keys.shift || keys.ctrl || keys.alt; }

// A guide that was not installed with the plug-in opens nothing: no browser is sent to an
// error page. A page that does not open is no concern of the editor's.
void OpenUserGuide(Graphics& graphics)
{
    const std::string folder = graphics.GetPluginPath();
    if (folder.empty()) return;
    const std::string path = folder + AnalyserView::kUserGuide;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    std::fclose(file);
    const std::string url = FileUrl(path);
    if (!url.empty()) graphics.OpenUrl(url);
}

}  // namespace

void AnalyserView::SetParameterFromGesture(int index, double plain)
{
    if (!plug || index < 0 || index >= plug->ParamCount()) return;
    plug->SetParameterFromEditor(index, plug->ParamAt(index).ToNormalized(plain));
}

AnalyserView::Request AnalyserView::AskedState()
{
    if (plug) plug->DeliverParameterChanges();
    ScopedLock guard(PluginLock());
    return request;
}

void AnalyserView::PromptForUserColour(Colour Request::*colour, const char* title)
{
    Graphics* graphics = GraphicsOf(plug);
    if (!graphics) return;
    Colour chosen;
    {
        ScopedLock guard(PluginLock());
        chosen = request.*colour;
    }
    if (!graphics->PromptForColour(chosen, title)) return;
    ScopedLock guard(PluginLock());
    // A state loaded while the chooser was open keeps its alpha.
    Colour& target = request.*colour;
    target.r = chosen.r;
    target.g = chosen.g;
    target.b = chosen.b;
    // The band graph's colours follow in the same request.
    request.colours = true;
}

void AnalyserView::OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (keys.right) {
        if (keys.shift && keys.ctrl) {
            PromptForUserColour(&Request::caption, "Caption Font Color");
        } else if (keys.shift) {
            PromptForUserColour(&Request::background, "Background Color");
        } else if (keys.ctrl) {
            PromptForUserColour(&Request::fill, "Graph Fill Color");
        } else if (keys.alt) {
            PromptForUserColour(&Request::edge, "Graph Edge Color");
        } else {
            const Request asked = AskedState();
            SetParameterFromGesture(AnalyserPlugin::kDomain, static_cast<double>((asked.domain + 1LL) % 4));
        }
    } else if (!AnyModifier(keys)) {
        if (Inside(cornerSquare, x, y)) {
            if (Graphics* shown = GraphicsOf(plug)) OpenUserGuide(*shown);
        } else {
            const Request asked = AskedState();
            if (Inside(captionBox, x, y) && (asked.domain == kFreq || asked.domain == kSpectro)) {
                const int32_t next = (asked.fftZoom + 1) % kBandCount;
                SetParameterFromGesture(AnalyserPlugin::kFftZoom, static_cast<double>(next));
            } else {
                const bool pause = !asked.paused;
                SetParameterFromGesture(AnalyserPlugin::kPause, pause ? 1.0 : 0.0);
                // Host id 1 pauses and plays with the user's click, never with automation or a
                // loaded state: the host knows its own automation, and a project that opens must
                // not stop the user's playback.
                if (plug && HasTransportCommands(plug->HostId()))
                    SetHostTransport(*plug, pause ? kHostPause : kHostPlay);
            }
        }
    }
    MarkDirty(true);
}

void AnalyserView::OnMouseDrag(int32_t, int32_t, int32_t, int32_t dy, const MouseKeys& keys)
{
    if (keys.right || !(keys.shift || keys.ctrl)) return;
    // Up is larger; ctrl is the fine adjustment.
    double change = dy * -0.01;
    if (keys.ctrl) change *= 0.1;
    SetParameterFromGesture(AnalyserPlugin::kVScale, static_cast<double>(AskedState().vScale) + change);
    MarkDirty(true);
}

void AnalyserView::OnMouseWheel(int32_t, int32_t, const MouseKeys& keys, int32_t steps)
{
    const double change = keys.ctrl ? steps * 0.01 : !keys.shift ? steps * 0.1 : steps * 1.0;
    SetParameterFromGesture(AnalyserPlugin::kVScale, static_cast<double>(AskedState().vScale) + change);
    MarkDirty(true);
}

void AnalyserView::OnMouseDblClick(int32_t, int32_t, const MouseKeys& keys)
{
    if (!keys.shift) ResetUserColours();
    if (!keys.ctrl) {
        SetParameterFromGesture(AnalyserPlugin::kVScale, 1.0);
        SetParameterFromGesture(AnalyserPlugin::kFftZoom, 0.0);
    }
    MarkDirty(true);
}
