#include "plugin/ChannelBuffers.h"

#include <algorithm>
#include <new>

bool ChannelBuffers::Resize(int channelCount, int frameCount, bool clear)
{
    if (channelCount < 0) channelCount = 0;
    if (frameCount < 0) frameCount = 0;
    try {
        if (channelCount != ChannelCount()) {
            channels.clear();
            pointers.clear();
            channels.resize(channelCount);
            pointers.assign(channelCount, nullptr);
            frames = 0;
        }
        if (frameCount != frames) {
            for (int c = 0; c < channelCount; ++c) {
                std::vector<double>().swap(channels[c]);
                channels[c].resize(frameCount);
                pointers[c] = channels[c].data();
            }
            frames = frameCount;
        }
    } catch (const std::bad_alloc&) {
        channels.clear();
        pointers.clear();
        frames = 0;
        return false;
    }
    if (clear)
        for (auto& channel : channels) std::fill(channel.begin(), channel.end(), 0.0);
    return true;
}
