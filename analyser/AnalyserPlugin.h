// The product's plug-in object: four parameters, audio passed through unchanged and
// staged for the editor, which takes it on the user-interface thread.
#pragma once

#include <string>

#include "analyser/SampleBuffer.h"
#include "analyser/SampleRing.h"
#include "plugin/PluginCore.h"

class AnalyserPlugin : public PluginCore {
public:
    static constexpr int kStagingLength = 24000;

    enum ParamIndex { kDomain = 0, kVScale = 1, kFftZoom = 2, kPause = 3, kParamCount = 4 };

    AnalyserPlugin();
    ~AnalyserPlugin() override = default;

    void ProcessDoubles(double** inputs, double** outputs, int frames) override;

    // Moves everything staged into the view's rings; answers the number of samples moved.
    int TakeStagedSamples(SampleRing& left, SampleRing& right, CriticalSection* viewLock);

    int StagedCount() const { return stagedCount; }
    const std::string& WindowTitle() const { return windowTitle; }

private:
    SampleBuffer stagingLeft;
    SampleBuffer stagingRight;
    int stagedCount = 0;
    std::string windowTitle;
    bool titlePending = false;
};
