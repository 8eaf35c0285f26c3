// Per-channel 64-bit sample arrays used to widen single-precision audio.
// Storage only grows: once the widest and longest block has been seen, any mix of
// channel and frame counts is served without allocating.
#pragma once

#include <vector>

class ChannelBuffers {
public:
    // Longest block the buffers will hold; longer ones are refused rather than allocated
    // on the audio thread (and a host's runaway frame count never reaches the allocator).
    static constexpr int kMaxFrames = 1 << 22;

    // Answers false (and holds no channels) when the memory cannot be had.
    bool Resize(int channels, int frames, bool clear = false);

    double** Channels() { return pointers.data(); }
    int ChannelCount() const { return channelCount; }
    int FrameCount() const { return frames; }

private:
    std::vector<std::vector<double>> channels;
    std::vector<double*> pointers;
    int channelCount = 0;
    int frames = 0;
};
