#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "tools/AllocationCounter.h"

namespace {

template <typename T>
struct Stereo {
    std::vector<T> left, right;
    T* channels[2];
    explicit Stereo(int frames, unsigned seed = 0) : left(frames), right(frames)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        if (seed)
            for (int i = 0; i < frames; ++i) {
                left[i] = static_cast<T>(uniform(rng));
                right[i] = static_cast<T>(uniform(rng));
            }
        channels[0] = left.data();
        channels[1] = right.data();
    }
};

class AudioPath : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::Reset(); }
};

}  // namespace

TEST_F(AudioPath, AllThreePathsPassThroughBitExact)
{
    PluginUnderTest p;
    p.Dispatch(effOpen);
    for (int frames : {1, 64, 513, 4096}) {
        Stereo<double> din(frames, 1), dout(frames);
        p->processDoubleReplacing(p.get(), din.channels, dout.channels, frames);
        EXPECT_EQ(din.left, dout.left);
        EXPECT_EQ(din.right, dout.right);

        Stereo<float> fin(frames, 2), fout(frames);
        p->processReplacing(p.get(), fin.channels, fout.channels, frames);
        EXPECT_EQ(fin.left, fout.left);
        EXPECT_EQ(fin.right, fout.right);

        Stereo<float> ain(frames, 3), aout(frames, 4);
        std::vector<float> expectLeft(frames), expectRight(frames);
        for (int i = 0; i < frames; ++i) {
            expectLeft[i] = aout.left[i] + ain.left[i];
            expectRight[i] = aout.right[i] + ain.right[i];
        }
        p->process(p.get(), ain.channels, aout.channels, frames);
        EXPECT_EQ(aout.left, expectLeft);
        EXPECT_EQ(aout.right, expectRight);
    }
}

TEST_F(AudioPath, InPlaceProcessingKeepsTheAudio)
{
    PluginUnderTest p;
    Stereo<double> buffer(256, 7);
    const auto left = buffer.left;
    p->processDoubleReplacing(p.get(), buffer.channels, buffer.channels, 256);
    EXPECT_EQ(buffer.left, left);
}

TEST_F(AudioPath, DegenerateBlocksAreHarmless)
{
    PluginUnderTest p;
    Stereo<float> in(8, 1), out(8, 2);
    const auto before = out.left;
    for (VstInt32 frames : {0, -1, -100000}) {
        p->processReplacing(p.get(), in.channels, out.channels, frames);
        p->process(p.get(), in.channels, out.channels, frames);
        EXPECT_EQ(out.left, before);
    }
    p->processReplacing(p.get(), nullptr, out.channels, 8);
    p->processReplacing(p.get(), in.channels, nullptr, 8);
    EXPECT_EQ(out.left, before);
    // A null channel reads as silence and a null output channel is skipped.
    float* holes[2] = {nullptr, in.channels[1]};
    p->processReplacing(p.get(), holes, out.channels, 8);
    EXPECT_EQ(out.left, std::vector<float>(8, 0.0f));
    EXPECT_EQ(out.right, in.right);
    double* none[2] = {nullptr, nullptr};
    Stereo<double> dout(8, 3);
    p->processDoubleReplacing(p.get(), none, none, 8);
    p->processDoubleReplacing(p.get(), none, dout.channels, 8);
    EXPECT_EQ(dout.left, std::vector<double>(8, 0.0));
}

TEST_F(AudioPath, MillionFrameBlocks)
{
    PluginUnderTest p;
    const int frames = 1000000;
    Stereo<float> fin(frames, 5), fout(frames);
    p->processReplacing(p.get(), fin.channels, fout.channels, frames);
    EXPECT_EQ(fin.right, fout.right);
    p->process(p.get(), fin.channels, fout.channels, frames);
    EXPECT_EQ(fout.left[frames - 1], fin.left[frames - 1] * 2);
    Stereo<double> din(frames, 6), dout(frames);
    p->processDoubleReplacing(p.get(), din.channels, dout.channels, frames);
    EXPECT_EQ(din.left, dout.left);
    auto* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get()));
    EXPECT_EQ(plugin->StagedCount(), AnalyserPlugin::kStagingLength);
}

TEST_F(AudioPath, NoAllocationOnceTheBlockSizeIsKnown)
{
    PluginUnderTest p;
    p.Dispatch(effOpen);
    p.Dispatch(effSetBlockSize, 0, 512);
    Stereo<float> fin(512, 1), fout(512);
    Stereo<double> din(512, 2), dout(512);
    p->processReplacing(p.get(), fin.channels, fout.channels, 512);  // sizes the conversion buffers

    AllocationCounter::Start();
    for (int block = 0; block < 5000; ++block) {
        p->processReplacing(p.get(), fin.channels, fout.channels, 512);
        p->process(p.get(), fin.channels, fout.channels, 512);
        p->processDoubleReplacing(p.get(), din.channels, dout.channels, 512);
        p->setParameter(p.get(), block % 4, 0.25f);
    }
    EXPECT_EQ(AllocationCounter::Stop(), 0);
}
