#include "analyser/ViewGestures.h"

#include <cstdio>
#include <string>

#include "analyser/AnalyserLayout.h"
#include "graphics/FileUrl.h"
#include "graphics/Graphics.h"
#include "plugin/HostId.h"
#include "plugin/HostServices.h"
#include "plugin/PluginCore.h"

namespace {

bool Inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

bool AnyModifier(const MouseKeys& keys) { return keys.shift || keys.ctrl || keys.alt; }

}  // namespace

ViewGestures::ViewGestures(PluginCore* plug, Graphics* editor, ViewRequest& request, const Rect& captionBox,
                           const Rect& cornerSquare)
    : plug(plug), editor(editor), request(request), captionBox(captionBox), cornerSquare(cornerSquare)
{
}

void ViewGestures::SetParameter(int index, double plain)
{
    if (!plug || index < 0 || index >= plug->ParamCount()) return;
    plug->SetParameterFromEditor(index, plug->ParamAt(index).ToNormalized(plain));
}

ViewRequest::State ViewGestures::AskedState()
{
    if (plug) plug->DeliverParameterChanges();
    return request.Asked();
}

void ViewGestures::PromptForUserColour(ViewRequest::UserColour colour, const char* title)
{
    if (!editor) return;
    Colour chosen = request.GetColour(colour);
    if (editor->PromptForColour(chosen, title)) request.SetChosenColour(colour, chosen);
}

// A guide that was not installed with the plug-in opens nothing: no browser is sent to an
// error page. A page that does not open is no concern of the editor's.
void ViewGestures::OpenUserGuide()
{
    if (!editor) return;
    const std::string folder = editor->GetPluginPath();
    if (folder.empty()) return;
    const std::string path = folder + AnalyserLayout::kUserGuide;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    std::fclose(file);
    const std::string url = FileUrl(path);
    if (!url.empty()) editor->OpenUrl(url);
}

void ViewGestures::OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    using State = ViewRequest::State;
    if (keys.right) {
        if (keys.shift && keys.ctrl) {
            PromptForUserColour(&State::caption, "Caption Font Color");
        } else if (keys.shift) {
            PromptForUserColour(&State::background, "Background Color");
        } else if (keys.ctrl) {
            PromptForUserColour(&State::fill, "Graph Fill Color");
        } else if (keys.alt) {
            PromptForUserColour(&State::edge, "Graph Edge Color");
        } else {
            const State asked = AskedState();
            SetParameter(AnalyserLayout::kDomain, static_cast<double>((asked.domain + 1LL) % 4));
        }
    } else if (!AnyModifier(keys)) {
        if (Inside(cornerSquare, x, y)) {
            OpenUserGuide();
        } else {
            const State asked = AskedState();
            if (Inside(captionBox, x, y) &&
                (asked.domain == AnalyserLayout::kFreq || asked.domain == AnalyserLayout::kSpectro)) {
                const int32_t next = (asked.fftZoom + 1) % AnalyserLayout::kBandCount;
                SetParameter(AnalyserLayout::kFftZoom, static_cast<double>(next));
            } else {
                const bool pause = !asked.paused;
                SetParameter(AnalyserLayout::kPause, pause ? 1.0 : 0.0);
                // Such a host pauses and plays with the user's click, never with automation or
                // a loaded state: the host knows its own automation, and a project that opens
                // must not stop the user's playback.
                if (plug && HasTransportCommands(plug->HostId()))
                    SetHostTransport(*plug, pause ? kHostPause : kHostPlay);
            }
        }
    }
}

bool ViewGestures::OnMouseDrag(int32_t dy, const MouseKeys& keys)
{
    if (keys.right || !(keys.shift || keys.ctrl)) return false;
    // Up is larger; ctrl is the fine adjustment.
    double change = dy * -0.01;
    if (keys.ctrl) change *= 0.1;
    SetParameter(AnalyserLayout::kVScale, static_cast<double>(AskedState().vScale) + change);
    return true;
}

void ViewGestures::OnMouseWheel(const MouseKeys& keys, int32_t steps)
{
    const double change = keys.ctrl ? steps * 0.01 : !keys.shift ? steps * 0.1 : steps * 1.0;
    SetParameter(AnalyserLayout::kVScale, static_cast<double>(AskedState().vScale) + change);
}

void ViewGestures::OnMouseDblClick(const MouseKeys& keys)
{
    if (!keys.shift) request.ResetColours();
    if (!keys.ctrl) {
        SetParameter(AnalyserLayout::kVScale, 1.0);
        SetParameter(AnalyserLayout::kFftZoom, 0.0);
    }
}
