#include "analyser/AnalyserPlugin.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "analyser/AnalyserState.h"
#include "analyser/AnalyserView.h"
#include "analyser/ProductIdentity.h"
#include "graphics/Graphics.h"
#include "plugin/HostId.h"
#include "plugin/HostServices.h"
#include "plugin/SafeConvert.h"

static constexpr int FourCharCode(char a, char b, char c, char d)
{
    return (static_cast<int>(static_cast<unsigned char>(a)) << 24) | (static_cast<unsigned char>(b) << 16) |
           (static_cast<unsigned char>(c) << 8) | static_cast<unsigned char>(d);
}

AnalyserPlugin::AnalyserPlugin(PluginHost& host)
    : PluginCore(host, kParamCount, 2, 2, ProductIdentity::kName, "", ProductIdentity::kVendor,
                 ProductIdentity::kVstVersion, FourCharCode('q', 'l', 'g', 'p'), 0, false, true, true)
{
    Param& domain = ParamAt(kDomain);
    domain.InitEnum("domain", 1, 4);
    domain.SetDisplayText(0, "time");
    domain.SetDisplayText(1, "freq");
    domain.SetDisplayText(2, "phase");
    domain.SetDisplayText(3, "spectro");

    ParamAt(kVScale).InitDouble("v scale", 1.0, 0.1, 20.0, 0.01, "x");

    Param& zoom = ParamAt(kFftZoom);
    zoom.InitEnum("fft zoom", 0, 7);
    const char* bands[] = {"0-18k", "20-200", "100-500", "500-2k", "1k-7.5k", "7.5k-12k", "12k-20k"};
    for (int i = 0; i < 7; ++i) zoom.SetDisplayText(static_cast<float>(i), bands[i]);

    ParamAt(kPause).InitBool("pause", false);

    // Held until attached, so that a failure on the way frees what was made.
    std::unique_ptr<Graphics> graphics(CreateGraphics(this, kEditorWidth, kEditorHeight, kFramesPerSecond));
    if (!graphics) return;  // an analyser without an editor still passes its audio
    if (FloatingEditorHost(HostId())) graphics->floating = true;
    graphics->mouseOverEnabled = true;
    std::unique_ptr<AnalyserView> newView(new AnalyserView(this, &staging, graphics.get()));
    graphics->AttachControl(newView.get());
    // Ctrl + left click in the corner square cycles the editor's scale.
    graphics->SetScaleArea(newView->CornerSquare());
    view = newView.release();
    AttachGraphics(graphics.get());
    graphics.release();
}

void AnalyserPlugin::Reset()
{
    if (view) view->SetSampleRate(SampleRate(), &Lock());
}

void AnalyserPlugin::ParameterChanged(int)
{
    if (!view) return;
    view->SetViewState(TruncateToInt32(ParamAt(kDomain).Value()), ParamAt(kVScale).Value(),
                       ParamAt(kPause).Value() >= 0.5, TruncateToInt32(ParamAt(kFftZoom).Value()), &Lock());
}

// The audio thread's work: no lock, no allocation, no call out. Staged first: in place or
// overlapping, an output may overwrite an input.
template <typename Sample>
inline void AnalyserPlugin::StageAndPass(Sample** inputs, Sample** outputs, int frames, bool silenceOtherOutputs)
{
    if (!inputs || !outputs || frames <= 0) return;
    // Read once: the block works with one arrangement from start to end.
    const int ins = InputCount();
    const int outs = OutputCount();
    staging.Write(ins >= 1 ? inputs[0] : nullptr, ins >= 2 ? inputs[1] : nullptr, frames);
    if (ins == 2 && outs == 2 && inputs[0] && inputs[1] && outputs[0] && outputs[1]) {
        // Every host's usual arrangement, without the bookkeeping of any other.
        if (outputs[0] != inputs[0]) std::memmove(outputs[0], inputs[0], sizeof(Sample) * frames);
        if (outputs[1] != inputs[1]) std::memmove(outputs[1], inputs[1], sizeof(Sample) * frames);
    } else {
        const int through = ins < outs ? ins : outs;
        for (int c = 0; c < through; ++c) {
            Sample* out = outputs[c];
            const Sample* in = inputs[c];
            if (!out) continue;
            // A missing input reads as silence.
            if (!in)
                std::memset(out, 0, sizeof(Sample) * frames);
            else if (out != in)
                std::memmove(out, in, sizeof(Sample) * frames);
        }
        if (silenceOtherOutputs)
            for (int c = through; c < outs; ++c)
                if (outputs[c]) std::memset(outputs[c], 0, sizeof(Sample) * frames);
    }
    if (view) view->SetDirtyIfClean();
}

void AnalyserPlugin::ProcessDoubles(double** inputs, double** outputs, int frames)
{
    StageAndPass(inputs, outputs, frames, false);
}

// The same result as widening through the conversion buffers, in one pass and without them.
void AnalyserPlugin::ProcessFloats(float** inputs, float** outputs, int frames)
{
    StageAndPass(inputs, outputs, frames, true);
}

Graphics* AnalyserPlugin::GetGraphics() const { return GraphicsOf(this); }

void AnalyserPlugin::EditorOpened()
{
    if (!TitlesFloatingEditor(HostId())) return;
    titlePending = true;
    // The floating window opens under the effect name: a title already made names it again.
    std::string title;
    {
        ScopedLock hold(&Lock());
        title = windowTitle;
    }
    if (!title.empty() && GetGraphics()) GetGraphics()->SetWindowTitle(title);
}

void AnalyserPlugin::Idle()
{
    if (!titlePending || !TitlesFloatingEditor(HostId())) return;
    {
        ScopedLock hold(&Lock());
        if (!windowTitle.empty()) return;
    }
    // Looked up outside the lock: reading other windows' titles may wait on their threads.
    const std::string name = FindFxChainName(EditorParent());
    if (!name.empty()) {
        const std::string title = "Quillograph : " + name;
        {
            ScopedLock hold(&Lock());
            windowTitle = title;
        }
        if (GetGraphics()) GetGraphics()->SetWindowTitle(title);
    }
    titlePending = false;
}

int AnalyserPlugin::TakeStagedSamples(SampleRing& left, SampleRing& right, CriticalSection* viewLock)
{
    ScopedLock view(viewLock);
    return staging.TakeInto(left, right);
}

bool AnalyserPlugin::SaveState(StateChunk& chunk)
{
    AnalyserState state;
    if (StoresWindowSection(HostId())) {
        state.hasWindow = true;
        if (Graphics* graphics = GetGraphics()) {
            state.hostClass = graphics->hostClass;
            state.windowRect = graphics->GetFloatingWindowRect();
        }
        // A window section loaded and not yet taken up by the editor is still what we hold.
        if (windowRestore.pending) {
            if (!windowRestore.hostClass.empty()) state.hostClass = windowRestore.hostClass;
            if (state.windowRect.IsEmpty()) state.windowRect = windowRestore.place;
        }
        state.windowTitle = windowTitle;
    }
    for (int i = 0; i < AnalyserState::kValueCount; ++i) state.values[i] = ParamAt(i).Value();
    // Without a view the colours are stored as all zero, which a load leaves alone.
    if (view) view->GetViewColours(state.colours[0], state.colours[1], state.colours[2], state.colours[3]);
    if (Graphics* graphics = GetGraphics()) state.editorScale = graphics->ScaleChoice();
    return state.Write(chunk);
}

bool AnalyserPlugin::LoadState(StateChunk& chunk)
{
    AnalyserState state;
    if (!AnalyserState::Read(chunk.Data(), chunk.Size(), StoresWindowSection(HostId()), state)) return false;

    for (int i = 0; i < AnalyserState::kValueCount; ++i)
        if (std::isfinite(state.values[i])) ParamAt(i).Set(state.values[i]);
    if (view) view->SetViewColours(state.colours[0], state.colours[1], state.colours[2], state.colours[3]);
    // Taken up by the editor's next tick, on its own thread; a chunk without it means automatic.
    if (Graphics* graphics = GetGraphics()) graphics->SetScaleChoice(state.editorScale);

    // A window section read elsewhere than in the host it was written for has nothing to restore.
    if (!state.hasWindow || !StoresWindowSection(HostId())) return true;
    windowTitle = state.windowTitle;
    windowRestore.pending = true;
    windowRestore.hostClass = state.hostClass;
    windowRestore.place = state.windowRect;
    return true;
}

AnalyserPlugin::WindowRestore AnalyserPlugin::TakeWindowRestore()
{
    ScopedLock hold(&Lock());
    WindowRestore restore = windowRestore;
    windowRestore = WindowRestore();
    return restore;
}

void AnalyserPlugin::EditorOpening()
{
    Graphics* graphics = GetGraphics();
    const WindowRestore restore = TakeWindowRestore();
    if (!graphics || !restore.pending) return;
    // An empty class (stored before any window opened) must not forget the host window we know.
    if (!restore.hostClass.empty()) graphics->hostClass = restore.hostClass;
    // All zero is a window that was closed; an inverted place is no window either.
    const Rect& place = restore.place;
    if (place.right > place.left && place.bottom > place.top) graphics->floatingPlace = place;
}

void AnalyserPlugin::EditorTick()
{
    Graphics* graphics = GetGraphics();
    const WindowRestore restore = TakeWindowRestore();
    if (!graphics || !restore.pending) return;
    if (!restore.hostClass.empty()) graphics->hostClass = restore.hostClass;
    // The window is open already (ticks run only then): it keeps its place and takes the name.
    std::string title;
    {
        ScopedLock hold(&Lock());
        title = windowTitle;
    }
    // An empty title would blank the window's name rather than restore one.
    if (!title.empty()) graphics->SetWindowTitle(title);
}
