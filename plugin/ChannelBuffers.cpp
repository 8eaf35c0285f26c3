#include "plugin/ChannelBuffers.h"

#include <algorithm>
#include <stdexcept>

bool ChannelBuffers::Resize(int channelCount, int frameCount, bool clear)
{
    if (channelCount < 0) channelCount = 0;
    if (frameCount < 0) frameCount = 0;
    try {
        if (frameCount > kMaxFrames) throw std::length_error("block too long");
        if (channelCount > static_cast<int>(channels.size())) {
            channels.resize(channelCount);
            pointers.resize(channelCount);
        }
        for (int c = 0; c < channelCount; ++c) {
            std::vector<double>& channel = channels[c];
            if (static_cast<int>(channel.size()) < frameCount) channel.resize(frameCount);
            pointers[c] = channel.data();
        }
    } catch (...) {
        // Out of memory, or a length no vector can hold: nothing half-made is kept.
        channels.clear();
        pointers.clear();
        this->channelCount = 0;
        frames = 0;
        return false;
    }
    this->channelCount = channelCount;
    frames = frameCount;
    if (clear)
        for (int c = 0; c < channelCount; ++c) std::fill(channels[c].begin(), channels[c].begin() + frames, 0.0);
    return true;
}
