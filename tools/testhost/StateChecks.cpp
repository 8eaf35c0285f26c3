#include "tools/testhost/StateChecks.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/ExpectedStateChunk.h"
#include "tools/testhost/EditorHost.h"
#include "tools/testhost/PluginInstance.h"

namespace {

constexpr DWORD kTimerPeriod = 41;
const char* kFrameClass = "QuillographTestHostFrame";

// A state unlike the defaults in every value and colour; v scale above its range.
const double kLoadedValues[4] = {0.0, 40.0, 4.0, 0.0};
const double kClampedValues[4] = {0.0, 20.0, 4.0, 0.0};
const int32_t kLoadedColours[4][4] = {{255, 30, 60, 90}, {255, 200, 40, 40}, {255, 40, 200, 40}, {255, 250, 250, 0}};
const char* kLoadedDisplays = "time, 20.00, 1k-7.5k, off";

ChunkBytes Join(ChunkBytes a, const ChunkBytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ChunkBytes Fresh() { return ChunkBytes(kExpectedStateChunk, kExpectedStateChunk + kExpectedStateChunkSize); }

std::string Displays(const PluginInstance& p)
{
    std::string all;
    for (int i = 0; i < 4; ++i) all += (i ? ", " : "") + p.Text(effGetParamDisplay, i);
    return all;
}

// The window section of a chunk, read back by hand.
struct WindowSection {
    bool ok = false;
    std::string hostClass, title;
    int32_t place[4] = {};
    size_t size = 0;
};

WindowSection ReadWindowSection(const ChunkBytes& b)
{
    WindowSection w;
    size_t at = 0;
    auto int32 = [&](int32_t& v) {
        if (at + 4 > b.size()) return false;
        v = static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
        at += 4;
        return true;
    };
    auto text = [&](std::string& t) {
        int32_t n = 0;
        if (!int32(n) || n < 0 || at + static_cast<size_t>(n) > b.size()) return false;
        t.assign(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + n);
        at += static_cast<size_t>(n);
        return true;
    };
    w.ok = text(w.hostClass) && text(w.title) && int32(w.place[0]) && int32(w.place[1]) && int32(w.place[2]) &&
           int32(w.place[3]);
    w.size = at;
    return w;
}

void CheckBytes(PluginEntry entry, bool windowSection, Report& report)
{
    PluginInstance p(entry);
    p.Start();
    const ChunkBytes prefix = windowSection ? WindowSectionBytes("", "", 0, 0, 0, 0) : ChunkBytes();
    const ChunkBytes fresh = p.GetChunk();
    report.Check(fresh == Join(prefix, Fresh()),
                 "effGetChunk answers " + std::to_string(fresh.size()) + " bytes: " +
                     (windowSection ? "a window section with empty texts and a closed window, then " : "") +
                     "the values 1.0, 1.0, 0.0, 0.0 and the default colours, byte for byte");
    report.Check(p.Dispatch(effGetChunk, 0, 0, nullptr) == 0, "effGetChunk without a pointer answers 0");

    const ChunkBytes loaded = Join(prefix, ValueSectionBytes(kLoadedValues, kLoadedColours));
    const bool set = p.SetChunk(loaded) == 1;
    const std::string displays = Displays(p);
    report.Check(set && displays == kLoadedDisplays, "effSetChunk of a changed chunk answers 1 and the host reads " + displays);
    const ChunkBytes saved = p.GetChunk();
    report.Check(saved == Join(prefix, ValueSectionBytes(kClampedValues, kLoadedColours)),
                 "saved again it holds the clamped v scale and the loaded colours");
    PluginInstance second(entry);
    second.Start();
    report.Check(second.SetChunk(saved) == 1 && second.GetChunk() == saved && Displays(second) == kLoadedDisplays,
                 "loaded into a second instance it is saved byte for byte the same");

    bool refused = true;
    ChunkBytes cut = saved;
    for (size_t n : {size_t(0), size_t(1), size_t(95), saved.size() - 1}) {
        cut.assign(saved.begin(), saved.begin() + static_cast<long>(n));
        refused = refused && second.SetChunk(cut) == 0;
    }
    ChunkBytes badLength = Join(WindowSectionBytes("Cls", "", 0, 0, 0, 0), Fresh());
    for (int i = 0; i < 4; ++i) badLength[i] = 0xFF;  // L1 negative
    refused = refused && second.SetChunk(badLength) == 0;
    badLength[0] = 200;  // L1 past the end
    badLength[1] = badLength[2] = badLength[3] = 0;
    refused = refused && second.SetChunk(badLength) == 0;
    report.Check(refused && second.GetChunk() == saved && Displays(second) == kLoadedDisplays,
                 "truncated chunks and window lengths that are negative or past the end answer 0 and change nothing");

    // The other layout is read from its own offsets.
    const ChunkBytes other = windowSection ? ValueSectionBytes(kLoadedValues, kLoadedColours)
                                           : Join(WindowSectionBytes("SomeHost", "Quillograph : Track 2", 10, 20, 242,
                                                                     116),
                                                  ValueSectionBytes(kLoadedValues, kLoadedColours));
    PluginInstance third(entry);
    third.Start();
    report.Check(third.SetChunk(other) == 1 && Displays(third) == kLoadedDisplays &&
                     third.GetChunk() == Join(prefix, ValueSectionBytes(kClampedValues, kLoadedColours)),
                 std::string("a chunk ") + (windowSection ? "without" : "with") +
                     " window section loads its values from the right offsets");
}

void CheckPicture(PluginEntry entry, bool windowSection, Report& report)
{
    PluginInstance p(entry);
    p.Start();
    EditorHost host(p);
    host.FeedAudio(false);
    if (!report.Check(host.Frame() && p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1, "the editor opens")) return;
    host.Pump(kTimerPeriod * 6);
    Capture before, after;
    host.CaptureEditor(before);
    const ChunkBytes prefix = windowSection ? WindowSectionBytes("", "", 0, 0, 0, 0) : ChunkBytes();
    p.SetChunk(Join(prefix, ValueSectionBytes(kLoadedValues, kLoadedColours)));
    host.Pump(kTimerPeriod * 4);
    const bool captured = host.CaptureEditor(after);
    int background = 0;
    for (uint32_t pixel : after.pixels) background += pixel == 0x1E3C5Au;
    report.Check(captured && before.width > 0 && after.At(5, 5) == 0x1E3C5Au &&
                     background > after.width * after.height / 2 &&
                     after.DiffersIn(before, 0, 0, after.width, after.height),
                 "within four timer periods the editor shows the loaded state on its loaded background (" +
                     std::to_string(background) + " pixels)");
    p.Dispatch(effEditClose);
}

void CheckWindowSection(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    p.Start();
    EditorHost host(p);
    if (!report.Check(host.Frame() && p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && host.Editor(),
                      "the floating editor opens"))
        return;
    host.Pump(kTimerPeriod * 3);
    RECT outer = {};
    GetWindowRect(host.Editor(), &outer);
    const ChunkBytes open = p.GetChunk();
    const WindowSection w = ReadWindowSection(open);
    report.Check(w.ok && w.hostClass == kFrameClass && w.place[0] == outer.left && w.place[1] == outer.top &&
                     w.place[2] == outer.right - 6 && w.place[3] == outer.bottom - 23 &&
                     open.size() == w.size + kExpectedStateChunkSize,
                 "with the editor open the chunk holds the host's class " + w.hostClass + " and the window's place " +
                     std::to_string(w.place[0]) + ", " + std::to_string(w.place[1]) + ", " +
                     std::to_string(w.place[2]) + ", " + std::to_string(w.place[3]));
    p.Dispatch(effEditClose);
    const WindowSection closed = ReadWindowSection(p.GetChunk());
    report.Check(closed.ok && closed.hostClass == kFrameClass && closed.place[0] == 0 && closed.place[1] == 0 &&
                     closed.place[2] == 0 && closed.place[3] == 0,
                 "closed again, the place is four zeros and the class is kept");

    // A project reopened: the window comes back where it was, found by the host's class.
    const ChunkBytes stored = Join(WindowSectionBytes(kFrameClass, "Quillograph : Track 9", 200, 150, 432, 246),
                                   ValueSectionBytes(kClampedValues, kLoadedColours));
    PluginInstance restored(entry);
    restored.Start();
    const bool loaded = restored.SetChunk(stored) == 1;
    report.Check(loaded && host.Editor() == nullptr, "loading a stored state makes no window by itself");
    restored.Dispatch(effEditOpen, 0, 0, nullptr);
    HWND editor = host.Editor();
    RECT r = {};
    if (editor) GetWindowRect(editor, &r);
    report.Check(editor && r.left == 200 && r.top == 150 && r.right == 438 && r.bottom == 269 &&
                     TitleOf(editor) == "Quillograph : Track 9" && Displays(restored) == kLoadedDisplays,
                 "the host's effEditOpen then opens the floating window at the stored place with its title");
    report.Check(restored.GetChunk() == stored, "saved again, the window section is the same bytes");
    restored.Dispatch(effEditClose);

    PluginInstance wasClosed(entry);
    wasClosed.Start();
    report.Check(wasClosed.SetChunk(Join(WindowSectionBytes(kFrameClass, "", 0, 0, 0, 0),
                                          ValueSectionBytes(kClampedValues, kLoadedColours))) == 1 &&
                     host.Editor() == nullptr && Displays(wasClosed) == kLoadedDisplays,
                 "a state saved with the window closed opens no window");
}

}  // namespace

void ExchangeStateFile(const PluginModule& module, bool windowSection, const std::string& in, const std::string& out,
                       Report& report)
{
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the entry point answers an instance record")) return;
    p.Start();
    ChunkBytes state;
    if (in.empty()) {
        const ChunkBytes prefix = windowSection ? WindowSectionBytes("", "Quillograph : Track 9", 0, 0, 0, 0) : ChunkBytes();
        state = Join(prefix, ValueSectionBytes(kClampedValues, kLoadedColours));
    } else if (FILE* file = std::fopen(in.c_str(), "rb")) {
        uint8_t buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) state.insert(state.end(), buffer, buffer + n);
        std::fclose(file);
    }
    report.Check(!state.empty() && p.SetChunk(state) == 1,
                 "effSetChunk takes " + std::to_string(state.size()) + " bytes" + (in.empty() ? "" : " from " + in));
    const ChunkBytes saved = p.GetChunk();
    FILE* file = std::fopen(out.c_str(), "wb");
    const bool written = file && std::fwrite(saved.data(), 1, saved.size(), file) == saved.size();
    if (file) std::fclose(file);
    report.Check(!saved.empty() && written, "effGetChunk's " + std::to_string(saved.size()) + " bytes written to " + out);
}

void RunStateChecks(const PluginModule& module, bool windowSection, Report& report)
{
    CheckBytes(module.Entry(), windowSection, report);
    CheckPicture(module.Entry(), windowSection, report);
    if (windowSection) CheckWindowSection(module.Entry(), report);
}
