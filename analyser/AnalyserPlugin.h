// The product's plug-in object: four parameters, audio passed through unchanged and
// staged for the editor, which takes it on the user-interface thread.
#pragma once

#include <string>

#include "analyser/AnalyserLayout.h"
#include "analyser/SampleStaging.h"
#include "dsp/SampleRing.h"
#include "plugin/PluginCore.h"

class AnalyserView;
class Graphics;

class AnalyserPlugin : public PluginCore, public AnalyserLayout {
public:
    explicit AnalyserPlugin(PluginHost& host);
    ~AnalyserPlugin() override = default;

    // The editor, null until attached.
    Graphics* GetGraphics() const;

    void Reset() override;
    void ParameterChanged(int index) override;
    void ProcessDoubles(double** inputs, double** outputs, int frames) override;
    void ProcessFloats(float** inputs, float** outputs, int frames) override;
    void EditorOpened() override;
    void Idle() override;
    // The state the host keeps in its project; loading refuses (and changes nothing for)
    // bytes that hold no complete state.
    bool SaveState(StateChunk& chunk) override;
    bool LoadState(StateChunk& chunk) override;

    // The view's draw, the one reader of the staging: moves everything staged into the
    // view's rings; answers the number of samples moved.
    int TakeStagedSamples(SampleRing& left, SampleRing& right, CriticalSection* viewLock);

    int StagedCount() const { return staging.Count(); }
    const std::string& WindowTitle() const { return windowTitle; }
    bool TitlePending() const { return titlePending; }
    // Null when the editor could not be made; the graphics object owns it.
    AnalyserView* View() const { return view; }

private:
    // Stages the block and passes it through; the single-precision path also silences the
    // outputs that have no input, as the widening path does.
    // Inlined into each callback: at small blocks the call itself is a measurable share.
    template <typename Sample>
    __attribute__((always_inline)) void StageAndPass(Sample** inputs, Sample** outputs, int frames,
                                                     bool silenceOtherOutputs);

    SampleStaging staging;
    std::string windowTitle;
    AnalyserView* view = nullptr;
    bool titlePending = false;
};
