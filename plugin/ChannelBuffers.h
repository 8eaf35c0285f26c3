// Per-channel 64-bit sample arrays used to widen single-precision audio.
// Reallocates only when the channel or frame count changes.
#pragma once

#include <vector>

class ChannelBuffers {
public:
    // Answers false (and holds no channels) when the memory cannot be had.
    bool Resize(int channels, int frames, bool clear = false);

    double** Channels() { return pointers.data(); }
    int ChannelCount() const { return static_cast<int>(pointers.size()); }
    int FrameCount() const { return frames; }

private:
    std::vector<std::vector<double>> channels;
    std::vector<double*> pointers;
    int frames = 0;
};
