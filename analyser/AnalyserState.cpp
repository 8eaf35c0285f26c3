#include "analyser/AnalyserState.h"

#include "analyser/StateLayout.h"
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
    const StateLayout layout = StateLayout::Of(data, size, preferWindow);
    if (layout.kind == StateLayout::kNone) return false;
    AnalyserState read;
    read.hasWindow = layout.kind == StateLayout::kWindowed;
    ChunkReader reader(data, size);
    if (read.hasWindow && !ReadWindowSection(reader, read)) return false;
    if (!ReadValueSection(reader, read)) return false;
    // A tail of a later version is skipped whole: its header promises older readers may.
    if (layout.tailAt >= 0 && layout.tailVersion == kTailVersion && layout.tailBytes >= 4) {
        ChunkReader tail(data + layout.tailAt + kTailHeaderBytes, layout.tailBytes);
        int32_t scale = 0;
        if (tail.ReadInt32(scale) && scale >= 0 && scale <= 4) read.editorScale = scale;
    }
    CutText(read.hostClass);
    CutText(read.windowTitle);
    for (Colour& c : read.colours) c = Colour(ClampChannel(c.a), ClampChannel(c.r), ClampChannel(c.g), ClampChannel(c.b));
    state = read;
    return true;
}
