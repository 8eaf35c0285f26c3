#include "analyser/AnalyserState.h"

#include <cmath>

#include "plugin/ChunkReader.h"

namespace {

bool ReadText(ChunkReader& reader, std::string& text)
{
    int32_t length = 0;
    return reader.ReadInt32(length) && reader.ReadBytes(length, text);
}

bool ReadValueSection(ChunkReader& reader, AnalyserState& state)
{
    for (double& value : state.values)
        if (!reader.ReadFloat64(value)) return false;
    for (Colour& colour : state.colours)
        if (!reader.ReadInt32(colour.a) || !reader.ReadInt32(colour.r) || !reader.ReadInt32(colour.g) ||
            !reader.ReadInt32(colour.b))
            return false;
    return true;
}

bool ReadWindowSection(ChunkReader& reader, AnalyserState& state)
{
    Rect& r = state.windowRect;
    return ReadText(reader, state.hostClass) && ReadText(reader, state.windowTitle) && reader.ReadInt32(r.left) &&
           reader.ReadInt32(r.top) && reader.ReadInt32(r.right) && reader.ReadInt32(r.bottom);
}

void CutText(std::string& text)
{
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    if (text.size() > AnalyserState::kMaxTextLength) text.resize(AnalyserState::kMaxTextLength);
}

int32_t ClampChannel(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// True when the reader's remaining bytes are exactly one tail of ours, whose fields are then
// taken; a damaged or unknown tail is not ours and is left alone.
bool ReadTail(ChunkReader reader, AnalyserState& state)
{
    std::string tag;
    int32_t version = 0, length = 0, scale = 0;
    if (!reader.ReadBytes(4, tag) || tag.compare(0, 4, reinterpret_cast<const char*>(AnalyserState::kTailTag), 4) != 0)
        return false;
    if (!reader.ReadInt32(version) || version != AnalyserState::kTailVersion) return false;
    if (!reader.ReadInt32(length) || length < 4 || length != reader.Remaining()) return false;
    if (!reader.ReadInt32(scale) || scale < 0 || scale > 4) return false;
    state.editorScale = scale;
    return true;
}

}  // namespace

bool AnalyserState::Write(StateChunk& chunk) const
{
    bool ok = true;
    if (hasWindow) {
        ok = chunk.PutString(hostClass) && chunk.PutString(windowTitle) && chunk.PutInt32(windowRect.left) &&
             chunk.PutInt32(windowRect.top) && chunk.PutInt32(windowRect.right) && chunk.PutInt32(windowRect.bottom);
    }
    for (double value : values) ok = ok && chunk.PutFloat64(value);
    for (const Colour& c : colours)
        ok = ok && chunk.PutInt32(c.a) && chunk.PutInt32(c.r) && chunk.PutInt32(c.g) && chunk.PutInt32(c.b);
    if (editorScale != 0) {
        ok = ok && chunk.Append(kTailTag, 4) && chunk.PutInt32(kTailVersion) && chunk.PutInt32(4) && chunk.PutInt32(editorScale);
    }
    return ok;
}

bool AnalyserState::Read(const uint8_t* data, int size, bool preferWindow, AnalyserState& state)
{
    if (!data || size <= 0) return false;

    AnalyserState windowed;
    ChunkReader withWindow(data, size);
    const bool sectionFits = ReadWindowSection(withWindow, windowed);
    const bool windowFits = sectionFits && ReadValueSection(withWindow, windowed);
    const bool windowExact = windowFits && (withWindow.Remaining() == 0 || ReadTail(withWindow, windowed));

    AnalyserState plain;
    ChunkReader withoutWindow(data, size);
    const bool plainFits = ReadValueSection(withoutWindow, plain);
    const bool plainExact = plainFits && (withoutWindow.Remaining() == 0 || ReadTail(withoutWindow, plain));

    // Only the exact sizes are ever written; a longer chunk (a tail after the layout) or a
    // damaged one is told apart by its first bytes. A plain chunk starts with the domain,
    // a double whose low word is zero for every value the parameter takes; a windowed one
    // with the text lengths, which then hold a window section that fits. Empty texts (two
    // zero lengths) look like the domain "time" and go to the layout of the host we run in.
    int32_t firstWord = -1;
    ChunkReader(data, size).ReadInt32(firstWord);
    const bool emptySection = sectionFits && windowed.hostClass.empty() && windowed.windowTitle.empty();

    bool useWindow;
    if (windowExact)
        useWindow = true;
    else if (plainExact)
        useWindow = false;
    else if (sectionFits && !emptySection)
        useWindow = true;
    else if (sectionFits)
        useWindow = preferWindow;
    else if (firstWord == 0 && std::isnormal(plain.values[0]))
        useWindow = false;
    else
        return false;
    if (!(useWindow ? windowFits : plainFits)) return false;

    state = useWindow ? windowed : plain;
    state.hasWindow = useWindow;
    CutText(state.hostClass);
    CutText(state.windowTitle);
    for (Colour& c : state.colours) c = Colour(ClampChannel(c.a), ClampChannel(c.r), ClampChannel(c.g), ClampChannel(c.b));
    return true;
}
