#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
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
    EXPECT_EQ(plugin->StagedCount(), AnalyserPlugin::kHistoryLength);
}

TEST_F(AudioPath, NoAllocationOnceTheBlockSizeIsKnown)
{
    PluginUnderTest p;
    p.Dispatch(effOpen);
    p.Dispatch(effSetBlockSize, 0, 512);
    Stereo<float> fin(4096, 1), fout(4096);
    Stereo<double> din(4096, 2), dout(4096);
    // The first block of the largest length sizes the conversion buffers.
    p->processReplacing(p.get(), fin.channels, fout.channels, 512);
    p->process(p.get(), fin.channels, fout.channels, 512);

    AllocationCounter::Start();
    for (int block = 0; block < 5000; ++block) {
        p->processReplacing(p.get(), fin.channels, fout.channels, 512);
        p->process(p.get(), fin.channels, fout.channels, 512);
        p->processDoubleReplacing(p.get(), din.channels, dout.channels, 512);
        p->setParameter(p.get(), block % 4, 0.25f);
    }
    EXPECT_EQ(AllocationCounter::Stop(), 0);

    // Hosts that split blocks for sample-accurate automation change the length every block.
    p->process(p.get(), fin.channels, fout.channels, 4096);
    AllocationCounter::Start();
    for (int round = 0; round < 200; ++round)
        for (int frames : {512, 480, 1, 4096, 33}) {
            p->processReplacing(p.get(), fin.channels, fout.channels, frames);
            p->process(p.get(), fin.channels, fout.channels, frames);
            p->processDoubleReplacing(p.get(), din.channels, dout.channels, frames);
        }
    EXPECT_EQ(AllocationCounter::Stop(), 0);
}

namespace {

// A host's pointer arrays sized by the record (two channels), followed by pointers to guard
// buffers that a plug-in reading past the array would take for channels.
template <typename T>
struct GuardedChannels {
    static constexpr T kGuard = T(-7.25);
    Stereo<T> audio;
    std::vector<T> guard;
    std::unique_ptr<T*[]> exact;  // exactly two entries: the sanitizer sees any read past them
    T* padded[4];
    GuardedChannels(int frames, unsigned seed) : audio(frames, seed), guard(frames, kGuard), exact(new T*[2])
    {
        exact[0] = padded[0] = audio.channels[0];
        exact[1] = padded[1] = audio.channels[1];
        padded[2] = padded[3] = guard.data();
    }
    bool GuardKept() const { return guard == std::vector<T>(guard.size(), kGuard); }
};

VstSpeakerArrangement Arrangement(VstInt32 channels)
{
    VstSpeakerArrangement arrangement;
    std::memset(&arrangement, 0, sizeof arrangement);
    arrangement.numChannels = channels;
    return arrangement;
}

}  // namespace

TEST_F(AudioPath, SpeakerArrangementsNeverReachPastTheAnnouncedChannels)
{
    const int frames = 300;
    {
        PluginUnderTest p;
        p.Dispatch(effOpen);
        VstSpeakerArrangement surround = Arrangement(6);
        EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&surround), &surround), 1);
        EXPECT_EQ(p->numInputs, 2);
        EXPECT_EQ(p->numOutputs, 2);
        for (bool exact : {true, false}) {
            GuardedChannels<float> fin(frames, 1), fout(frames, 0), ain(frames, 2), aout(frames, 0);
            GuardedChannels<double> din(frames, 3), dout(frames, 0);
            auto in = [&](auto& c) { return exact ? c.exact.get() : c.padded; };
            p->processReplacing(p.get(), in(fin), in(fout), frames);
            p->process(p.get(), in(ain), in(aout), frames);
            p->processDoubleReplacing(p.get(), in(din), in(dout), frames);
            EXPECT_EQ(fout.audio.left, fin.audio.left);
            EXPECT_EQ(fout.audio.right, fin.audio.right);
            EXPECT_EQ(aout.audio.left, ain.audio.left);
            EXPECT_EQ(aout.audio.right, ain.audio.right);
            EXPECT_EQ(dout.audio.left, din.audio.left);
            EXPECT_EQ(dout.audio.right, din.audio.right);
            for (auto* guarded : {&fin, &fout, &ain, &aout}) EXPECT_TRUE(guarded->GuardKept());
            EXPECT_TRUE(din.GuardKept() && dout.GuardKept());
        }
    }
    {
        // Fewer channels than announced: a mono host passes one-entry arrays.
        PluginUnderTest p;
        p.Dispatch(effOpen);
        VstSpeakerArrangement mono = Arrangement(1);
        EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), &mono), 1);
        Stereo<float> fin(frames, 4), fout(frames);
        Stereo<double> din(frames, 5), dout(frames);
        std::unique_ptr<float*[]> fi(new float*[1]{fin.channels[0]}), fo(new float*[1]{fout.channels[0]});
        std::unique_ptr<double*[]> di(new double*[1]{din.channels[0]}), d0(new double*[1]{dout.channels[0]});
        p->processReplacing(p.get(), fi.get(), fo.get(), frames);
        p->processDoubleReplacing(p.get(), di.get(), d0.get(), frames);
        EXPECT_EQ(fout.left, fin.left);
        EXPECT_EQ(dout.left, din.left);
        auto* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get()));
        EXPECT_EQ(plugin->StagedCount(), 2 * frames);
    }
}

TEST_F(AudioPath, NoExceptionReachesTheHost)
{
    PluginUnderTest p;
    p.Dispatch(effOpen);
    const int frames = 256;
    Stereo<float> in(frames, 1), out(frames, 2);
    std::vector<float> sumLeft(frames);
    for (int i = 0; i < frames; ++i) sumLeft[i] = out.left[i] + in.left[i];
    Stereo<float> replaced(frames);
    Stereo<double> din(frames, 3), dout(frames);
    std::string longName(100, 'q');
    char text[64];
    VstIntPtr nameAnswer = -1;
    VstIntPtr rateAnswer = -1;
    // Every allocation fails: the program name cannot be stored, the view cannot be rebuilt.
    AllocationCounter::StartFailing();
    try {
        p->process(p.get(), in.channels, out.channels, frames);
        p->processReplacing(p.get(), in.channels, replaced.channels, frames);
        p->processDoubleReplacing(p.get(), din.channels, dout.channels, frames);
        nameAnswer = p.Dispatch(effSetProgramName, 0, 0, &longName[0]);
        rateAnswer = p.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
        p.Dispatch(effOpen);
        for (VstInt32 op : {effGetParamDisplay, effGetParamName, effGetProgramName, effGetEffectName})
            p.Dispatch(op, 1, 0, text);
        p->setParameter(p.get(), 1, 0.5f);
        p->getParameter(p.get(), 1);
    } catch (...) {
        AllocationCounter::Stop();
        FAIL() << "an exception reached the host";
    }
    EXPECT_GT(AllocationCounter::Stop(), 0);
    EXPECT_EQ(nameAnswer, 0);
    EXPECT_EQ(rateAnswer, 0);
    // The block that could not be widened is still passed through.
    EXPECT_EQ(out.left, sumLeft);
    EXPECT_EQ(replaced.left, in.left);
    EXPECT_EQ(dout.right, din.right);

    // A runaway frame count (no vector could hold it in the 32-bit build) with channels the
    // host left empty: nothing is touched, nothing thrown.
    float* none[2] = {nullptr, nullptr};
    double* noneWide[2] = {nullptr, nullptr};
    EXPECT_NO_THROW(p->process(p.get(), none, none, std::numeric_limits<VstInt32>::max()));
    EXPECT_NO_THROW(p->processReplacing(p.get(), none, none, std::numeric_limits<VstInt32>::max()));
    EXPECT_NO_THROW(p->processDoubleReplacing(p.get(), noneWide, noneWide, std::numeric_limits<VstInt32>::max()));
}

// From the very first block, whatever the host announced and however long its blocks are,
// no audio callback and no host automation allocates.
TEST_F(AudioPath, NoCallbackEverAllocates)
{
    constexpr int kLongest = 20000;
    Stereo<float> fin(kLongest, 1), fout(kLongest);
    Stereo<double> din(kLongest, 2), dout(kLongest);
    for (int announced : {0, 64, 512}) {
        PluginUnderTest p;
        p.Dispatch(effOpen);
        p.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        if (announced) p.Dispatch(effSetBlockSize, 0, announced);
        p.Dispatch(effMainsChanged, 0, 1);
        AllocationCounter::Start();
        for (int frames : {0, 1, 2, 17, 63, 64, 65, 511, 512, 513, 1024, 1025, 4096, 8193, kLongest}) {
            p->processReplacing(p.get(), fin.channels, fout.channels, frames);
            p->process(p.get(), fin.channels, fout.channels, frames);
            p->processDoubleReplacing(p.get(), din.channels, dout.channels, frames);
            p->setParameter(p.get(), frames % 4, 0.5f);
            p->getParameter(p.get(), frames % 4);
        }
        EXPECT_EQ(AllocationCounter::Stop(), 0) << "block size " << announced;
        p->processReplacing(p.get(), fin.channels, fout.channels, kLongest);
        EXPECT_EQ(fin.right, fout.right);
    }
}
