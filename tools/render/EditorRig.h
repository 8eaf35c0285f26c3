// One analyser instance as a host holds it: made through the exported entry point, given
// the file's sample rate, a stored state and parameter values, its editor open on the
// headless window layer, fed through the audio callback and redrawn by its timer tick.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Vst2Abi.h"

class AnalyserPlugin;
class HeadlessWindow;

class EditorRig {
public:
    // Null when the plug-in or its editor cannot be made.
    static std::unique_ptr<EditorRig> Make(double sampleRate, int blockSize);
    ~EditorRig();
    EditorRig(const EditorRig&) = delete;
    EditorRig& operator=(const EditorRig&) = delete;

    // Through the host's chunk request (a bank's, or a single program's); false when the
    // plug-in refuses the bytes.
    bool LoadState(const std::vector<uint8_t>& bytes, bool programChunk);
    // A plain parameter value, sent normalized as host automation sends it.
    void SetParameter(int index, double plain);
    // Out-of-range indices are the plug-in's to ignore, as from any host.
    void SetNormalized(int index, float value);
    int32_t UniqueId() const { return effect->uniqueID; }
    // Feeds the frames through the audio callback in blocks of at most the block size.
    void Process(const double* left, const double* right, int64_t frames);
    // One timer tick of the editor window.
    void Tick();
    // The window's picture as last presented, 0xAARRGGBB, rows top first.
    const std::vector<uint32_t>& Pixels() const;
    int Width() const;
    int Height() const;

private:
    EditorRig(AEffect* effect, int blockSize);

    AEffect* effect;
    AnalyserPlugin* plugin;
    HeadlessWindow* window = nullptr;
    int blockSize;
    std::vector<double> inLeft, inRight, outLeft, outRight;
    int parent = 0;
};
