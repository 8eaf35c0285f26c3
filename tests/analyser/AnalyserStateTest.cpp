#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/native/HeadlessWindow.h"
#include "tools/ExpectedStateChunk.h"

namespace {

using Bytes = std::vector<uint8_t>;

AnalyserPlugin* Analyser(const PluginUnderTest& p) { return static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get())); }
HeadlessWindow* Window(const PluginUnderTest& p) { return HeadlessWindow::Of(Analyser(p)->GetGraphics()); }

struct State {
    double values[4] = {1.0, 1.0, 0.0, 0.0};
    Colour colours[4] = {{255, 0, 0, 0}, {255, 220, 220, 100}, {255, 255, 255, 255}, {255, 0, 128, 255}};
};

Bytes ValueSection(const State& s)
{
    int32_t colours[4][4];
    for (int i = 0; i < 4; ++i) {
        colours[i][0] = s.colours[i].a;
        colours[i][1] = s.colours[i].r;
        colours[i][2] = s.colours[i].g;
        colours[i][3] = s.colours[i].b;
    }
    return ValueSectionBytes(s.values, colours);
}

Bytes WindowSection(const std::string& hostClass, const std::string& title, const Rect& r)
{
    return WindowSectionBytes(hostClass, title, r.left, r.top, r.right, r.bottom);
}

Bytes Join(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> Displays(const PluginUnderTest& p)
{
    std::vector<std::string> texts;
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        p.Dispatch(effGetParamDisplay, i, 0, text);
        texts.push_back(text);
    }
    return texts;
}

std::vector<Colour> Colours(const PluginUnderTest& p)
{
    std::vector<Colour> c(4);
    Analyser(p)->View()->GetViewColours(c[0], c[1], c[2], c[3]);
    return c;
}

// A state unlike the defaults in every field.
State Custom()
{
    State s;
    s.values[0] = 0.0;  // "time"
    s.values[1] = 3.5;
    s.values[2] = 4.0;
    s.values[3] = 1.0;
    s.colours[0] = Colour(255, 10, 40, 70);
    s.colours[1] = Colour(255, 90, 30, 200);
    s.colours[2] = Colour(200, 250, 120, 0);
    s.colours[3] = Colour(255, 255, 255, 0);
    return s;
}

const std::vector<std::string> kCustomDisplays = {"time", "3.50", "1k-7.5k", "on"};

}  // namespace

TEST(AnalyserState, FreshChunkIsTheDefaultBytesAndStaysUntilTheNextRequest)
{
    FakeHost::Reset();
    PluginUnderTest p;
    void* data = nullptr;
    ASSERT_EQ(p.Dispatch(effGetChunk, 0, 0, &data), kExpectedStateChunkSize);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 96),
              Bytes(kExpectedStateChunk, kExpectedStateChunk + 96));
    // Our own chunk handed straight back loads, and a second request answers the same bytes.
    EXPECT_EQ(p.Dispatch(effSetChunk, 0, 96, data), 1);
    EXPECT_EQ(p.GetChunk(), Bytes(kExpectedStateChunk, kExpectedStateChunk + 96));
    EXPECT_EQ(ValueSection(State()), Bytes(kExpectedStateChunk, kExpectedStateChunk + 96));
}

TEST(AnalyserState, LoadClampsValuesAndKeepsWhatCannotBeApplied)
{
    FakeHost::Reset();
    PluginUnderTest p;
    State s = Custom();
    ASSERT_EQ(p.SetChunk(ValueSection(s)), 1);
    EXPECT_EQ(Displays(p), kCustomDisplays);

    // Out of range: clamped by the parameters. Colour channels outside 0..255 are clamped too.
    State wide = s;
    wide.values[1] = 40.0;
    wide.values[2] = -3.0;
    wide.colours[1] = Colour(300, -4, 128, 1000);
    ASSERT_EQ(p.SetChunk(ValueSection(wide)), 1);
    EXPECT_EQ(Displays(p), (std::vector<std::string>{"time", "20.00", "0-18k", "on"}));
    EXPECT_EQ(Colours(p)[1], Colour(255, 0, 128, 255));

    // All-zero colours keep the current ones; NaN and infinities keep the current values.
    State keep;
    keep.values[0] = std::numeric_limits<double>::quiet_NaN();
    keep.values[1] = std::numeric_limits<double>::infinity();
    keep.values[2] = -std::numeric_limits<double>::infinity();
    keep.values[3] = 0.0;
    for (Colour& c : keep.colours) c = Colour(0, 0, 0, 0);
    keep.colours[2] = Colour(0, 1, 0, 0);  // alpha 0 alone is a colour
    const std::vector<Colour> before = Colours(p);
    ASSERT_EQ(p.SetChunk(ValueSection(keep)), 1);
    EXPECT_EQ(Displays(p), (std::vector<std::string>{"time", "20.00", "0-18k", "off"}));
    const std::vector<Colour> after = Colours(p);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2], Colour(0, 1, 0, 0));
    EXPECT_EQ(after[3], before[3]);
}

TEST(AnalyserState, RoundTripGivesIdenticalBytesInBothLayouts)
{
    // Every parameter and colour changed through the ordinary paths, saved, loaded into a
    // second instance and saved again.
    FakeHost::Reset();
    PluginUnderTest a;
    a->setParameter(a.get(), 0, 1.0f);
    a->setParameter(a.get(), 1, 0.3f);
    a->setParameter(a.get(), 2, 0.5f);
    a->setParameter(a.get(), 3, 1.0f);
    Analyser(a)->View()->SetViewColours(Colour(255, 1, 2, 3), Colour(255, 4, 5, 6), Colour(128, 7, 8, 9),
                                        Colour(255, 10, 11, 12));
    const Bytes saved = a.GetChunk();
    ASSERT_EQ(saved.size(), 96u);
    PluginUnderTest b;
    ASSERT_EQ(b.SetChunk(saved), 1);
    EXPECT_EQ(b.GetChunk(), saved);
    EXPECT_EQ(Displays(b), Displays(a));

    // Host id 1: the window section comes first and restores the window's class, place and title.
    FakeHost::Reset("Cockos", "REAPER");
    PluginUnderTest reaperA;
    const Bytes closed = reaperA.GetChunk();
    EXPECT_EQ(closed, Join(WindowSection("", "", Rect()), Bytes(kExpectedStateChunk, kExpectedStateChunk + 96)));
    const Bytes windowed = Join(WindowSection("HostMainWindow", "Quillograph : Track 1", Rect(300, 200, 532, 296)),
                                ValueSection(Custom()));
    ASSERT_EQ(reaperA.SetChunk(windowed), 1);
    HeadlessWindow* window = Window(reaperA);
    // The window is made on the thread that opens the editor, not on the one that loads.
    EXPECT_FALSE(window->Editor().IsWindowOpen());
    EXPECT_EQ(reaperA.GetChunk(), windowed) << "the place waits for the window";
    int parent = 0;
    ASSERT_EQ(reaperA.Dispatch(effEditOpen, 0, 0, &parent), 1);
    ASSERT_TRUE(window->Editor().IsWindowOpen());
    EXPECT_EQ(window->WindowRect(), Rect(300, 200, 538, 319));
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Track 1");
    EXPECT_EQ(window->Editor().hostClass, "HostMainWindow");
    EXPECT_EQ(Analyser(reaperA)->WindowTitle(), "Quillograph : Track 1");
    EXPECT_EQ(Displays(reaperA), kCustomDisplays);
    const Bytes resaved = reaperA.GetChunk();
    EXPECT_EQ(resaved, windowed);
    PluginUnderTest reaperB;
    ASSERT_EQ(reaperB.SetChunk(resaved), 1);
    ASSERT_EQ(reaperB.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(reaperB.GetChunk(), windowed);
    // Closed again, the place reads as zeros.
    reaperB.Dispatch(effEditClose);
    EXPECT_EQ(reaperB.GetChunk(),
              Join(WindowSection("HostMainWindow", "Quillograph : Track 1", Rect()), ValueSection(Custom())));
}

TEST(AnalyserState, EachLayoutIsReadFromItsOwnOffsetsInEveryHost)
{
    const Bytes values = ValueSection(Custom());
    const Bytes windowed = Join(WindowSection("Cls", "Quillograph : Bus", Rect(10, 20, 242, 116)), values);
    const Bytes closed = Join(WindowSection("Cls", "", Rect()), values);

    FakeHost::Reset();
    PluginUnderTest other;
    ASSERT_EQ(other.SetChunk(windowed), 1);
    EXPECT_EQ(Displays(other), kCustomDisplays);
    EXPECT_EQ(Colours(other)[2], Custom().colours[2]);
    EXPECT_FALSE(Window(other)->Editor().IsWindowOpen());
    EXPECT_TRUE(Analyser(other)->WindowTitle().empty());
    EXPECT_EQ(other.GetChunk(), values);

    FakeHost::Reset("Cockos", "REAPER");
    PluginUnderTest reaper;
    ASSERT_EQ(reaper.SetChunk(values), 1);
    EXPECT_EQ(Displays(reaper), kCustomDisplays);
    EXPECT_FALSE(Window(reaper)->Editor().IsWindowOpen());
    // A place of four zeros is a closed window: nothing opens at the screen's corner.
    PluginUnderTest closedReaper;
    ASSERT_EQ(closedReaper.SetChunk(closed), 1);
    EXPECT_FALSE(Window(closedReaper)->Editor().IsWindowOpen());
    EXPECT_EQ(Displays(closedReaper), kCustomDisplays);

    // Longer than the layout: read, the tail ignored.
    PluginUnderTest tail;
    ASSERT_EQ(tail.SetChunk(Join(windowed, Bytes(40, 0xAB))), 1);
    EXPECT_EQ(Displays(tail), kCustomDisplays);
    int parent = 0;
    ASSERT_EQ(tail.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(Window(tail)->WindowRect(), Rect(10, 20, 248, 139));
    State freq = Custom();
    freq.values[0] = 1.0;
    PluginUnderTest freqTail;
    ASSERT_EQ(freqTail.SetChunk(Join(ValueSection(freq), Bytes(30, 0))), 1);
    EXPECT_EQ(Displays(freqTail)[0], "freq");
    FakeHost::Reset();
    PluginUnderTest plainTail;
    ASSERT_EQ(plainTail.SetChunk(Join(values, Bytes(30, 0))), 1);
    EXPECT_EQ(Displays(plainTail), kCustomDisplays);
    PluginUnderTest windowTail;
    ASSERT_EQ(windowTail.SetChunk(Join(windowed, Bytes(7, 1))), 1);
    EXPECT_EQ(Displays(windowTail), kCustomDisplays);

    // Texts longer than a window title can hold are cut.
    FakeHost::Reset("Cockos", "REAPER");
    PluginUnderTest longTitle;
    const std::string huge(5000, 'T');
    ASSERT_EQ(longTitle.SetChunk(Join(WindowSection(std::string(3000, 'C'), huge, Rect(0, 0, 232, 96)), values)), 1);
    EXPECT_EQ(Analyser(longTitle)->WindowTitle(), huge.substr(0, 255));
    ASSERT_EQ(longTitle.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(Window(longTitle)->WindowTitle(), huge.substr(0, 255));
    EXPECT_EQ(Window(longTitle)->Editor().hostClass, std::string(255, 'C'));
}

TEST(AnalyserState, IncompleteChunksAreRefusedAndChangeNothing)
{
    const Bytes values = ValueSection(Custom());
    const Bytes windowed = Join(WindowSection("Cls", "Title", Rect(10, 20, 242, 116)), values);
    for (const char* product : {"Test Host", "REAPER"}) {
        FakeHost::Reset("Vendor", product);
        PluginUnderTest p;
        const Bytes fresh = p.GetChunk();
        auto refused = [&](const Bytes& bytes) {
            return p.SetChunk(bytes) == 0 && p.GetChunk() == fresh && !Window(p)->Editor().IsWindowOpen();
        };
        EXPECT_TRUE(refused({})) << product;
        for (size_t n = 1; n < 96; ++n) EXPECT_TRUE(refused(Bytes(values.begin(), values.begin() + n))) << n;
        // Lengths that are negative or point past the end; the 96-byte tail must not be taken
        // for a complete state of its own either.
        for (int32_t l1 : {-1, -96, 1000, INT32_MAX, INT32_MIN}) {
            Bytes bad = Join(WindowSection("", "", Rect()), values);
            bad.resize(100);
            std::memcpy(bad.data(), &l1, 4);
            EXPECT_TRUE(refused(bad)) << l1;
        }
        Bytes badTitle = windowed;
        badTitle.resize(110);
        for (int32_t l2 : {-5, 200}) {
            for (int i = 0; i < 4; ++i) badTitle[7 + i] = static_cast<uint8_t>(static_cast<uint32_t>(l2) >> (8 * i));
            EXPECT_TRUE(refused(badTitle)) << l2;
        }
        // Cut short with both texts empty: in host id 1 it cannot pass for a chunk without window section.
        if (std::string(product) == "REAPER") {
            const Bytes empty = Join(WindowSection("", "", Rect()), values);
            for (size_t n = 97; n < empty.size(); ++n) EXPECT_TRUE(refused(Bytes(empty.begin(), empty.begin() + n))) << n;
        }
        // A null pointer with a size, and no size at all.
        EXPECT_EQ(p.Dispatch(effSetChunk, 0, 96, nullptr), 0);
        EXPECT_EQ(p.Dispatch(effSetChunk, 0, 0, const_cast<uint8_t*>(values.data())), 0);
        EXPECT_EQ(p.GetChunk(), fresh);
    }
}

TEST(AnalyserState, EveryTruncationAndSingleByteChangeIsReadSafely)
{
    // Run under the sanitizers: no load may read outside the chunk, and a refused one changes nothing.
    const Bytes windowed = Join(WindowSection("HostClass", "Quillograph : X", Rect(50, 60, 282, 156)),
                                ValueSection(Custom()));
    for (const char* product : {"Test Host", "REAPER"}) {
        FakeHost::Reset("Vendor", product);
        PluginUnderTest p;
        for (const Bytes& valid : {ValueSection(Custom()), windowed}) {
            int refusedCount = 0;
            auto load = [&](const Bytes& bytes) {
                const Bytes before = p.GetChunk();
                const VstIntPtr answer = p.SetChunk(bytes);
                ASSERT_TRUE(answer == 0 || answer == 1);
                if (answer == 0) {
                    ++refusedCount;
                    ASSERT_EQ(p.GetChunk(), before);
                }
                for (int i = 0; i < 4; ++i) {
                    const float normalized = p->getParameter(p.get(), i);
                    ASSERT_TRUE(normalized >= 0.0f && normalized <= 1.0f) << i;
                }
            };
            for (size_t n = 0; n <= valid.size(); ++n) load(Bytes(valid.begin(), valid.begin() + n));
            for (size_t at = 0; at < valid.size(); ++at)
                for (int value = 0; value < 256; ++value) {
                    Bytes changed = valid;
                    changed[at] = static_cast<uint8_t>(value);
                    load(changed);
                }
            EXPECT_GE(refusedCount, 96) << product;
        }
    }
}

TEST(AnalyserState, LoadedStateIsWhatTheNextFrameShows)
{
    // The picture after a load must be the picture of the same state reached by the ordinary
    // parameter and colour paths.
    FakeHost::Reset();
    const State s = Custom();
    int parent = 0;
    PluginUnderTest reference;
    reference.Dispatch(effOpen);
    reference->setParameter(reference.get(), 0, 0.0f);
    reference->setParameter(reference.get(), 1, static_cast<float>((3.5 - 0.1) / 19.9));
    reference->setParameter(reference.get(), 2, 4.0f / 6.0f);
    Analyser(reference)->View()->SetViewColours(s.colours[0], s.colours[1], s.colours[2], s.colours[3]);
    ASSERT_EQ(reference.Dispatch(effEditOpen, 0, 0, &parent), 1);
    ASSERT_TRUE(Window(reference)->Tick());
    const std::vector<uint32_t> expected = Window(reference)->PresentedPixels();

    PluginUnderTest loaded;
    loaded.Dispatch(effOpen);
    ASSERT_EQ(loaded.Dispatch(effEditOpen, 0, 0, &parent), 1);
    ASSERT_TRUE(Window(loaded)->Tick());
    const std::vector<uint32_t> fresh = Window(loaded)->PresentedPixels();
    State unpaused = s;
    unpaused.values[3] = 0.0;
    ASSERT_EQ(loaded.SetChunk(ValueSection(unpaused)), 1);
    ASSERT_TRUE(Window(loaded)->Tick());
    EXPECT_NE(fresh, expected);
    EXPECT_EQ(Window(loaded)->PresentedPixels(), expected);
    EXPECT_EQ(Window(loaded)->PresentedPixel(5, 5), PackColour(s.colours[0]));
}

TEST(AnalyserState, SaveAndLoadWaitForThePluginLock)
{
    // While the lock is held elsewhere (the editor, another request) neither request may run.
    FakeHost::Reset();
    PluginUnderTest p;
    const Bytes values = ValueSection(Custom());
    CriticalSection& lock = Analyser(p)->Lock();
    for (VstInt32 opcode : {effGetChunk, effSetChunk}) {
        std::atomic<bool> done{false};
        lock.Enter();
        std::thread request([&] {
            void* data = nullptr;
            if (opcode == effGetChunk)
                p.Dispatch(effGetChunk, 0, 0, &data);
            else
                p.SetChunk(values);
            done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_FALSE(done) << opcode;
        lock.Leave();
        request.join();
        EXPECT_TRUE(done);
    }
    EXPECT_EQ(Displays(p), kCustomDisplays);
}

TEST(AnalyserState, TheEditorScaleTravelsInATailAndADamagedOneIsIgnored)
{
    for (const char* product : {"Test Host", "REAPER"}) {
        FakeHost::Reset("Vendor", product);
        const bool reaper = std::string(product) == "REAPER";
        const Bytes base = reaper ? Join(WindowSection("Cls", "T", Rect()), ValueSection(Custom())) : ValueSection(Custom());
        PluginUnderTest a;
        ASSERT_EQ(a.SetChunk(base), 1);
        EXPECT_EQ(a.GetChunk(), base) << "automatic writes no tail";
        Window(a)->Editor().SetScaleChoice(3);
        const Bytes withTail = a.GetChunk();
        EXPECT_EQ(withTail, Join(base, ScaleTailBytes({3})));

        PluginUnderTest b;
        ASSERT_EQ(b.SetChunk(withTail), 1);
        EXPECT_EQ(Window(b)->Editor().ScaleChoice(), 3);
        EXPECT_EQ(Displays(b), kCustomDisplays);
        EXPECT_EQ(b.GetChunk(), withTail);
        // Without the tail: automatic.
        ASSERT_EQ(b.SetChunk(base), 1);
        EXPECT_EQ(Window(b)->Editor().ScaleChoice(), 0);
        // A later writer's longer field list: the scale is read, the rest skipped.
        ASSERT_EQ(b.SetChunk(Join(base, ScaleTailBytes({2, 77}))), 1);
        EXPECT_EQ(Window(b)->Editor().ScaleChoice(), 2);

        Bytes cut = Join(base, ScaleTailBytes({2}));
        cut.pop_back();
        Bytes extra = Join(base, ScaleTailBytes({2}));
        extra.push_back(0);
        const std::vector<Bytes> damaged = {
            Join(base, ScaleTailBytes({2}, 1, -1, "QGEY")), Join(base, ScaleTailBytes({2}, 2)),
            Join(base, ScaleTailBytes({2}, 1, 3)),          Join(base, ScaleTailBytes({2}, 1, 8)),
            Join(base, ScaleTailBytes({5})),                Join(base, ScaleTailBytes({-1})),
            Join(base, ScaleTailBytes({})),                 cut,
            extra,
        };
        for (size_t i = 0; i < damaged.size(); ++i) {
            Window(b)->Editor().SetScaleChoice(4);
            ASSERT_EQ(b.SetChunk(damaged[i]), 1) << product << " " << i;
            EXPECT_EQ(Displays(b), kCustomDisplays) << product << " " << i;
            EXPECT_EQ(Window(b)->Editor().ScaleChoice(), 0) << product << " " << i;
            EXPECT_EQ(b.GetChunk(), base) << product << " " << i;
        }
    }
}

// A later version's tail, of any length, after either layout: every host reads the layout
// the chunk was written in, and skips the tail.
TEST(AnalyserState, LaterTailsLeaveTheLayoutToTheLengths)
{
    State time = Custom();  // domain "time": its first bytes also read as two empty texts
    State freq = Custom();
    freq.values[0] = 1.0;
    const Bytes laterTail = ScaleTailBytes({3, 1, 2, 5}, 2);   // 12 + 16 bytes
    const Bytes longTail = ScaleTailBytes({3, 1, 2, 5, 8, 9, 10}, 7);
    const std::vector<std::pair<Bytes, State>> chunks = {
        {Join(Join(WindowSection("", "", Rect()), ValueSection(time)), laterTail), time},
        {Join(Join(WindowSection("", "", Rect()), ValueSection(freq)), longTail), freq},
        {Join(ValueSection(time), laterTail), time},
        {Join(ValueSection(freq), laterTail), freq},
        // Plain "time" whose tail makes it exactly as long as an empty window section's layout.
        {Join(ValueSection(time), ScaleTailBytes({3, 1, 2}, 2)), time},
    };
    for (const char* product : {"Test Host", "REAPER"}) {
        FakeHost::Reset("Vendor", product);
        for (size_t i = 0; i < chunks.size(); ++i) {
            PluginUnderTest p;
            ASSERT_EQ(p.SetChunk(chunks[i].first), 1) << product << " " << i;
            PluginUnderTest expected;
            ASSERT_EQ(expected.SetChunk(ValueSection(chunks[i].second)), 1);
            EXPECT_EQ(Displays(p), Displays(expected)) << product << " " << i;
            EXPECT_EQ(Colours(p), Colours(expected)) << product << " " << i;
            EXPECT_EQ(Window(p)->Editor().ScaleChoice(), 0) << product << " " << i;
        }
    }
}
