// The analyser's fixed sizes and the indices of its parameters, shared by the plug-in
// object, the view and its displays without either including the other. The plug-in
// object and the view take these names as their own (AnalyserPlugin::kDomain).
#pragma once

struct AnalyserLayout {
    static constexpr int kEditorWidth = 232;
    static constexpr int kEditorHeight = 96;
    static constexpr double kFramesPerSecond = 24.0;

    // Samples per channel: what the audio thread may stage between two redraws, what the
    // view's history holds and how many points the phase display plots.
    static constexpr int kHistoryLength = 24000;
    static constexpr int kFreqFrameSize = 8192;
    static constexpr int kSpectroFrameSize = 1024;
    // Zoom bands of the "fft zoom" parameter.
    static constexpr int kBandCount = 7;

    enum ParamIndex { kDomain = 0, kVScale = 1, kFftZoom = 2, kPause = 3, kParamCount = 4 };
    enum Domain { kTime = 0, kFreq = 1, kPhase = 2, kSpectro = 3 };

    // The user guide's file, beside the plug-in's binary, opened by a click in the corner square.
    static constexpr const char* kUserGuide = "Quillograph.html";
};
