// Chunks as any build writes them, in either layout and with any tail a later version may
// append, read back in a plain host and in host id 1: the same values must come back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "analyser/AnalyserState.h"
#include "tests/fuzz/FuzzHost.h"

namespace {

std::string Text(FuzzedDataProvider& in)
{
    std::string text = in.ConsumeRandomLengthString(AnalyserState::kMaxTextLength);
    for (char& c : text)
        if (c == '\0') c = ' ';  // a text ends at its first zero byte
    return text;
}

bool Same(const AnalyserState& a, const AnalyserState& b)
{
    if (a.hasWindow != b.hasWindow || a.editorScale != b.editorScale) return false;
    if (std::memcmp(a.values, b.values, sizeof a.values) != 0) return false;
    for (int i = 0; i < AnalyserState::kColourCount; ++i)
        if (!(a.colours[i] == b.colours[i])) return false;
    if (!a.hasWindow) return true;
    return a.hostClass == b.hostClass && a.windowTitle == b.windowTitle && a.windowRect == b.windowRect;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    AnalyserState written;
    written.hasWindow = in.ConsumeBool();
    if (written.hasWindow) {
        written.hostClass = Text(in);
        written.windowTitle = Text(in);
        Rect& r = written.windowRect;
        r = Rect(in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>(),
                 in.ConsumeIntegral<int32_t>());
    }
    // What the parameters can hold: whole domains, zoom bands and pause, any v scale in range.
    written.values[0] = in.ConsumeIntegralInRange(0, 3);
    written.values[1] = static_cast<double>(in.ConsumeFloatingPointInRange<float>(0.1f, 20.0f));
    written.values[2] = in.ConsumeIntegralInRange(0, 6);
    written.values[3] = in.ConsumeBool() ? 1.0 : 0.0;
    for (Colour& c : written.colours)
        c = Colour(in.ConsumeIntegralInRange(0, 255), in.ConsumeIntegralInRange(0, 255),
                   in.ConsumeIntegralInRange(0, 255), in.ConsumeIntegralInRange(0, 255));
    written.editorScale = in.ConsumeIntegralInRange(0, 4);
    // A later writer's tail instead of ours: readers of this version skip it.
    const bool later = in.ConsumeBool();
    std::vector<uint8_t> laterTail;
    if (later) {
        written.editorScale = 0;
        const int32_t version = in.ConsumeIntegralInRange(2, 1000);
        const std::vector<uint8_t> body = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 300));
        const int32_t n = static_cast<int32_t>(body.size());
        laterTail = {'Q', 'G', 'E', 'X'};
        for (int32_t field : {version, n})
            for (int i = 0; i < 4; ++i) laterTail.push_back(static_cast<uint8_t>(static_cast<uint32_t>(field) >> (8 * i)));
        laterTail.insert(laterTail.end(), body.begin(), body.end());
    }

    StateChunk chunk;
    if (!written.Write(chunk) || (!laterTail.empty() && !chunk.Append(laterTail.data(), static_cast<int>(laterTail.size()))))
        FuzzHost::Fail("the state could not be written");
    for (bool hostOne : {false, true}) {
        AnalyserState read;
        if (!AnalyserState::Read(chunk.Data(), chunk.Size(), hostOne, read)) FuzzHost::Fail("a written state was refused");
        if (!Same(written, read)) FuzzHost::Fail("a written state read back other values");
    }
    return 0;
}
