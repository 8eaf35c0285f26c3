// quillograph-render run as a user runs it, on files written here with libsndfile, against
// the plug-in driven directly: the same audio through its process calls and its headless
// editor ticked every 41 ms of audio must give the same pictures, pixel for pixel.
#include <dirent.h>
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>
#include <pty.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"
#include "tests/plugin/FakeHost.h"
#include "tools/SurfacePng.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int64_t kTimerMs = 41;
const char* const kDomains[4] = {"time", "freq", "phase", "spectro"};

// Sample n of channel c.
using Generator = std::function<double(int64_t n, int c)>;

struct Audio {
    int rate = 0;
    int channels = 0;
    std::vector<double> samples;  // interleaved, as the file gives them back
    int64_t Frames() const { return static_cast<int64_t>(samples.size()) / channels; }
};

std::string Folder()
{
    mkdir(QUILLOGRAPH_RENDER_TEST_DIR, 0755);
    return QUILLOGRAPH_RENDER_TEST_DIR;
}

// A fresh empty folder for one case.
std::string NewFolder(const std::string& name)
{
    const std::string path = Folder() + "/" + name;
    std::system(("rm -rf '" + path + "'").c_str());
    mkdir(path.c_str(), 0755);
    return path;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteAudio(const std::string& path, int rate, int channels, int64_t frames, int format, const Generator& g)
{
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    std::vector<double> frame(static_cast<size_t>(channels));
    for (int64_t n = 0; n < frames; ++n) {
        for (int c = 0; c < channels; ++c) frame[static_cast<size_t>(c)] = g(n, c);
        sf_writef_double(file, frame.data(), 1);
    }
    sf_close(file);
}

Audio ReadAudio(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Audio audio;
    if (!file) return audio;
    audio.rate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
    sf_readf_double(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

struct ToolRun {
    int status = -1;
    std::string err;
};

std::vector<char*> Argv(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(QUILLOGRAPH_RENDER));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// In the child: under the leak checker, the tool's standard error holds only its own words.
void Exec(std::vector<char*>& argv)
{
    const char* lsan = std::getenv("LSAN_OPTIONS");
    const std::string options = std::string(lsan ? lsan : "") + (lsan && *lsan ? ":" : "") + "print_suppressions=0";
    setenv("LSAN_OPTIONS", options.c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
}

int WaitFor(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// The tool with its standard error on a pipe, and these NAME=value in its environment.
// beforeRun is called with the tool's process id before it starts.
ToolRun Render(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
               const std::function<void(pid_t)>& beforeRun = {})
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    std::vector<char*> argv = Argv(args);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 2);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        for (const std::string& e : environment) putenv(const_cast<char*>(e.c_str()));
        if (beforeRun) raise(SIGSTOP);
        Exec(argv);
    }
    close(pipeEnds[1]);
    if (beforeRun) {
        int status = 0;
        waitpid(child, &status, WUNTRACED);
        beforeRun(child);
        kill(child, SIGCONT);
    }
    ToolRun run;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) run.err.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    run.status = WaitFor(child);
    return run;
}

// The tool on a pseudo-terminal, as from an interactive shell.
ToolRun RenderOnTerminal(const std::vector<std::string>& args)
{
    std::vector<char*> argv = Argv(args);
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) Exec(argv);
    ToolRun run;
    char buffer[4096];
    for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) run.err.append(buffer, static_cast<size_t>(n));
    close(terminal);
    run.status = WaitFor(child);
    return run;
}

int64_t SamplesBefore(int64_t tick, int rate) { return tick * kTimerMs * rate / 1000; }

// The plug-in as the test drives it: made through the entry point, its editor open, fed in
// blocks of another size than the tool's, ticked after each 41 ms of audio.
class Reference {
public:
    Reference(const Audio& a, int leftChannel, int rightChannel, const std::vector<uint8_t>& state = {})
        : audio(a), left(leftChannel), right(rightChannel)
    {
        FakeHost::Reset("Veksa", "render test");
        effect = VSTPluginMain(FakeHost::Callback);
        plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect));
        Dispatch(effOpen);
        Dispatch(effSetSampleRate, 0, nullptr, static_cast<float>(audio.rate));
        if (!state.empty()) {
            std::vector<uint8_t> copy(state);
            loaded = Dispatch(effSetChunk, static_cast<VstIntPtr>(copy.size()), copy.data()) != 0;
        }
        Dispatch(effEditOpen, 0, &parent);
        window = HeadlessWindow::Of(plugin->GetGraphics());
    }
    ~Reference()
    {
        Dispatch(effEditClose);
        Dispatch(effClose);
    }

    VstIntPtr Dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher(effect, opcode, 0, value, ptr, opt);
    }
    void SetNormalized(int index, float value) { effect->setParameter(effect, index, value); }
    void Set(int index, double plain)
    {
        effect->setParameter(effect, index, static_cast<float>(plugin->ParamAt(index).ToNormalized(plain)));
    }
    // Plays up to the sample (never past the end of the file).
    void PlayTo(int64_t sample)
    {
        sample = std::min(sample, audio.Frames());
        std::vector<double> l(kBlock), r(kBlock), ol(kBlock), orr(kBlock);
        while (played < sample) {
            const int n = static_cast<int>(std::min<int64_t>(kBlock, sample - played));
            for (int i = 0; i < n; ++i) {
                const size_t at = static_cast<size_t>((played + i) * audio.channels);
                l[static_cast<size_t>(i)] = audio.samples[at + static_cast<size_t>(left)];
                r[static_cast<size_t>(i)] = audio.samples[at + static_cast<size_t>(right)];
            }
            double* in[2] = {l.data(), r.data()};
            double* out[2] = {ol.data(), orr.data()};
            effect->processDoubleReplacing(effect, in, out, n);
            played += n;
        }
    }
    // Ticks on to the tick (each after its 41 ms of audio; tick 0 before any) and pauses
    // at a sample when asked.
    void RunTo(int64_t tick, int64_t pauseSample = -1)
    {
        for (++ticked; ticked <= tick; ++ticked) {
            const int64_t target = SamplesBefore(ticked, audio.rate);
            if (pauseSample >= 0 && !paused && pauseSample <= target) {
                PlayTo(pauseSample);
                Set(AnalyserPlugin::kPause, 1.0);
                paused = true;
            }
            PlayTo(target);
            window->Tick();
        }
        --ticked;
    }
    const std::vector<uint32_t>& Pixels() const { return window->PresentedPixels(); }
    bool Loaded() const { return loaded; }

private:
    static constexpr int kBlock = 300;
    const Audio& audio;
    int left, right;
    AEffect* effect = nullptr;
    AnalyserPlugin* plugin = nullptr;
    HeadlessWindow* window = nullptr;
    int parent = 0;
    int64_t played = 0;
    int64_t ticked = -1;
    bool paused = false;
    bool loaded = false;
};

// The picture file, compared by colour (the file has no alpha) with the window's pixels at
// (x, y) of a picture enlarged by scale.
void ExpectPictureFile(const std::string& path, const std::vector<uint32_t>& pixels, int scale = 1, int x0 = 0,
                       int y0 = 0)
{
    const auto picture = ReadSurfacePng(path);
    ASSERT_TRUE(picture) << path;
    const int w = AnalyserPlugin::kEditorWidth, h = AnalyserPlugin::kEditorHeight;
    ASSERT_GE(picture->width(), x0 + w * scale) << path;
    ASSERT_GE(picture->height(), y0 + h * scale) << path;
    int differing = 0;
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < w * scale; ++x) {
            const uint32_t want = pixels[static_cast<size_t>(y / scale * w + x / scale)] & 0xFFFFFF;
            const uint32_t got = SurfaceRow(*picture, y0 + y)[x0 + x] & 0xFFFFFF;
            if (want != got && differing++ == 0)
                ADD_FAILURE() << path << ": first difference at (" << x << ", " << y << "): editor " << std::hex
                              << want << ", file " << got;
        }
    EXPECT_EQ(differing, 0) << path;
}

bool SamePicture(const std::string& a, const std::string& b)
{
    const auto pa = ReadSurfacePng(a), pb = ReadSurfacePng(b);
    if (!pa || !pb || pa->width() != pb->width() || pa->height() != pb->height()) return false;
    for (int32_t y = 0; y < pa->height(); ++y)
        if (!std::equal(SurfaceRow(*pa, y), SurfaceRow(*pa, y) + pa->width(), SurfaceRow(*pb, y))) return false;
    return true;
}

void PutWord(std::string& bytes, uint32_t word)
{
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(word >> shift);
}

// A host's preset file: kind "FPCh" holds a chunk, "FxCk" normalized parameter values.
std::string PresetFile(const char* kind, uint32_t id, const std::string& chunk, const std::vector<float>& values)
{
    std::string body;
    body += kind;
    PutWord(body, 1);
    PutWord(body, id);
    PutWord(body, 1);
    PutWord(body, static_cast<uint32_t>(values.empty() ? 1 : values.size()));
    body += std::string(28, '\0');  // preset name
    if (values.empty()) {
        PutWord(body, static_cast<uint32_t>(chunk.size()));
        body += chunk;
    }
    for (float v : values) {
        uint32_t word;
        std::memcpy(&word, &v, sizeof word);
        PutWord(body, word);
    }
    std::string file = "CcnK";
    PutWord(file, static_cast<uint32_t>(body.size()));
    return file + body;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

constexpr uint32_t kUniqueId = 0x716C6770;  // 'qlgp'

struct Case {
    std::string name;
    int rate;
    int channels;
    int64_t frames;
    int format;
    Generator signal;
    int left, right;   // the channels analysed, 0-based
    std::string pick;  // --channels for the tool, if any
    double at;         // --at, or below 0 for the end
};

Generator Chord(int rate)
{
    return [rate](int64_t n, int) {
        const double t = static_cast<double>(n) / rate;
        return 0.25 * (std::sin(2 * kPi * 261.63 * t) + std::sin(2 * kPi * 329.63 * t) + std::sin(2 * kPi * 392.0 * t));
    };
}

// A rising sweep with a few samples that are not numbers, as a broken render may hold.
Generator SweepWithFaults(int rate)
{
    return [rate](int64_t n, int c) {
        if (n == 5000 || n == 70001) return std::numeric_limits<double>::quiet_NaN();
        if (n == 30000 + c)
            return c ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        const double t = static_cast<double>(n) / rate;
        return 0.8 * std::sin(2 * kPi * (50.0 * t + 4000.0 * t * t)) * (c ? 0.5 : 1.0);
    };
}

// Channels 0 and 1 quiet noise, the tone hard left on channel 2, channel 3 silent.
Generator PannedOnFourChannels(int rate)
{
    return [rate](int64_t n, int c) {
        if (c == 2) return 0.7 * std::sin(2 * kPi * 1000.0 * static_cast<double>(n) / rate);
        if (c == 3) return 0.0;
        return 0.01 * std::sin(static_cast<double>(n * (c + 3)) * 0.37);
    };
}

}  // namespace

TEST(RenderTool, PictureAtAMomentIsTheEditorsFrame)
{
    const std::string folder = NewFolder("moment");
    const std::vector<Case> cases = {
        {"chord-44k-mono", 44100, 1, 60000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(44100), 0, 0, "", 1.2},
        {"sweep-96k", 96000, 2, 150000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, SweepWithFaults(96000), 0, 1, "", 1.4},
        {"panned-48k-4ch", 48000, 4, 60000, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, PannedOnFourChannels(48000), 2, 3,
         "3,4", -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool flac = (c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC;
        const std::string audioPath = folder + "/" + c.name + (flac ? ".flac" : ".wav");
        WriteAudio(audioPath, c.rate, c.channels, c.frames, c.format, c.signal);
        const Audio audio = ReadAudio(audioPath);
        ASSERT_EQ(audio.Frames(), c.frames);
        std::vector<std::string> args = {audioPath, "--domain", "all", "-o", folder + "/" + c.name + ".png", "-q"};
        if (!c.pick.empty()) args.insert(args.end(), {"--channels", c.pick});
        if (c.at >= 0.0) args.insert(args.end(), {"--at", std::to_string(c.at)});
        const ToolRun run = Render(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        // --at picks the last tick at or before the moment; without it, the first tick
        // that has the whole file.
        const int64_t tick = c.at >= 0.0 ? static_cast<int64_t>(c.at * 1000.0 / kTimerMs)
                                         : (c.frames * 1000 + kTimerMs * c.rate - 1) / (kTimerMs * c.rate);
        for (int d = 0; d < 4; ++d) {
            Reference editor(audio, c.left, c.right);
            editor.Set(AnalyserPlugin::kDomain, d);
            editor.RunTo(tick);
            ExpectPictureFile(folder + "/" + c.name + "-" + kDomains[d] + ".png", editor.Pixels());
        }
    }

    // The parameters as the host would set them, pause automated part way.
    const std::string audioPath = folder + "/chord-44k-mono.wav";
    const Audio audio = ReadAudio(audioPath);
    const ToolRun run = Render({audioPath, "--domain", "spectro", "--zoom", "20-200", "--vscale", "2.5", "--pause-at",
                            "0.7", "--at", "1.3", "-o", folder + "/params.png", "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    Reference editor(audio, 0, 0);
    editor.Set(AnalyserPlugin::kDomain, 3);
    editor.Set(AnalyserPlugin::kVScale, 2.5);
    editor.Set(AnalyserPlugin::kFftZoom, 1);
    editor.RunTo(1300 / kTimerMs, static_cast<int64_t>(0.7 * 44100));
    ExpectPictureFile(folder + "/params.png", editor.Pixels());
}

TEST(RenderTool, SeriesAndFramesAreNumberedAndSheetsHoldTheFourDisplays)
{
    const std::string folder = NewFolder("series");
    const std::string audioPath = folder + "/chord.wav";
    const int64_t frames = 62000;  // 1.292 s at 48 kHz
    WriteAudio(audioPath, 48000, 2, frames, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));
    const Audio audio = ReadAudio(audioPath);

    const std::string series = NewFolder("series/every");
    ASSERT_EQ(Render({audioPath, "--every", "0.6", "--domain", "time", "-o", series + "/mix.png", "-q"}).status, 0);
    EXPECT_EQ(FilesIn(series), (std::vector<std::string>{"mix-0001.png", "mix-0002.png"}));
    {
        Reference editor(audio, 0, 1);
        editor.Set(AnalyserPlugin::kDomain, 0);
        editor.RunTo(600 / kTimerMs);
        ExpectPictureFile(series + "/mix-0001.png", editor.Pixels());
        editor.RunTo(1200 / kTimerMs);
        ExpectPictureFile(series + "/mix-0002.png", editor.Pixels());
    }

    const std::string video = NewFolder("series/frames");
    ASSERT_EQ(Render({audioPath, "--frames", video, "--domain", "phase", "-q"}).status, 0);
    const int64_t last = (frames * 1000 + kTimerMs * 48000 - 1) / (kTimerMs * 48000);  // 32
    const std::vector<std::string> names = FilesIn(video);
    ASSERT_EQ(static_cast<int64_t>(names.size()), last + 1);
    EXPECT_EQ(names.front(), "frame-000000.png");
    EXPECT_EQ(names.back(), "frame-000032.png");
    {
        Reference editor(audio, 0, 1);
        editor.Set(AnalyserPlugin::kDomain, 2);
        for (int64_t n : {int64_t(0), int64_t(1), int64_t(17), last}) {
            editor.RunTo(n);
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06d.png", static_cast<int>(n));
            ExpectPictureFile(video + name, editor.Pixels());
        }
    }
    // The last frame is the picture of the end.
    ASSERT_EQ(Render({audioPath, "--domain", "phase", "-o", folder + "/end.png", "-q"}).status, 0);
    EXPECT_TRUE(SamePicture(folder + "/end.png", video + "/frame-000032.png"));

    // A sheet enlarged twice: time and freq above, phase and spectro below, 2 pixels apart.
    const std::string sheetPath = folder + "/sheet.png";
    const ToolRun sheetRun =
        Render({audioPath, "--domain", "all", "--sheet", "--scale", "2", "--at", "1", "-o", sheetPath, "-q"});
    ASSERT_EQ(sheetRun.status, 0) << sheetRun.err;
    const auto sheet = ReadSurfacePng(sheetPath);
    ASSERT_TRUE(sheet);
    const int w = AnalyserPlugin::kEditorWidth, h = AnalyserPlugin::kEditorHeight;
    EXPECT_EQ(sheet->width(), 2 * (2 * w + 2));
    EXPECT_EQ(sheet->height(), 2 * (2 * h + 2));
    for (int d = 0; d < 4; ++d) {
        Reference editor(audio, 0, 1);
        editor.Set(AnalyserPlugin::kDomain, d);
        editor.RunTo(1000 / kTimerMs);
        ExpectPictureFile(sheetPath, editor.Pixels(), 2, (d % 2) * 2 * (w + 2), (d / 2) * 2 * (h + 2));
    }
}

TEST(RenderTool, StateFilesSetParametersAndColours)
{
    const std::string folder = NewFolder("state");
    const std::string audioPath = folder + "/chord.wav";
    WriteAudio(audioPath, 48000, 2, 30000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, Chord(48000));
    const Audio audio = ReadAudio(audioPath);
    const int64_t end = (30000 * 1000 + kTimerMs * 48000 - 1) / (kTimerMs * 48000);

    // A parameter preset as hosts export it: phase display, v scale 3.
    const std::vector<float> values = {0.67f, static_cast<float>((3.0 - 0.1) / 19.9), 0.0f, 0.0f};
    WriteFile(folder + "/phase.fxp", PresetFile("FxCk", kUniqueId, "", values));
    ASSERT_EQ(Render({audioPath, "--state", folder + "/phase.fxp", "-o", folder + "/preset.png", "-q"}).status, 0);
    {
        Reference editor(audio, 0, 1);
        for (int i = 0; i < 4; ++i) editor.SetNormalized(i, values[static_cast<size_t>(i)]);
        editor.RunTo(end);
        ExpectPictureFile(folder + "/preset.png", editor.Pixels());
    }

    // A chunk saved by the plug-in with other colours, raw and inside a preset file.
    std::vector<uint8_t> state;
    {
        FakeHost::Reset("Veksa", "render test");
        PluginUnderTest saved;
        auto* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(saved.get()));
        saved.Dispatch(effOpen);
        saved->setParameter(saved.get(), AnalyserPlugin::kDomain,
                            static_cast<float>(plugin->ParamAt(AnalyserPlugin::kDomain).ToNormalized(0)));
        plugin->View()->SetViewColours(Colour(255, 20, 40, 90), Colour(255, 250, 120, 0), Colour(255, 0, 255, 0),
                                       Colour(255, 255, 255, 255));
        void* bytes = nullptr;
        const VstIntPtr size = saved.Dispatch(effGetChunk, 0, 0, &bytes);
        if (size <= 0 || !bytes) GTEST_SKIP() << "state chunk not available";
        state.assign(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + size);
    }
    const std::string chunk(state.begin(), state.end());
    WriteFile(folder + "/mix.state", chunk);
    WriteFile(folder + "/mix.fxp", PresetFile("FPCh", kUniqueId, chunk, {}));

    ASSERT_EQ(Render({audioPath, "--state", folder + "/mix.state", "-o", folder + "/with.png", "-q"}).status, 0);
    ASSERT_EQ(Render({audioPath, "--state", folder + "/mix.fxp", "-o", folder + "/fxp.png", "-q"}).status, 0);
    ASSERT_EQ(Render({audioPath, "--domain", "time", "-o", folder + "/without.png", "-q"}).status, 0);
    EXPECT_FALSE(SamePicture(folder + "/with.png", folder + "/without.png"));
    EXPECT_TRUE(SamePicture(folder + "/with.png", folder + "/fxp.png"));
    Reference editor(audio, 0, 1, state);
    ASSERT_TRUE(editor.Loaded());
    editor.RunTo(end);
    ExpectPictureFile(folder + "/with.png", editor.Pixels());
}

TEST(RenderTool, BadInputGetsOneClearLineAndNoPicture)
{
    const std::string folder = NewFolder("bad");
    const std::string good = folder + "/good.wav";
    WriteAudio(good, 48000, 2, 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));
    const std::string empty = folder + "/empty.wav";
    WriteAudio(empty, 48000, 2, 0, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));
    const std::string garbage = folder + "/garbage.wav";
    std::ofstream(garbage) << "this is not audio at all, just some words in a file named like one";
    // The same file with its header's sample rate (bytes 24 to 27) rewritten.
    auto withRate = [&](const std::string& name, uint32_t rate) {
        std::ifstream in(good, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(24 + i)] = static_cast<char>(rate >> (8 * i));
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    const std::string rateZero = withRate("rate0.wav", 0);
    const std::string rateHigh = withRate("rate1M.wav", 1000000);
    const std::string truncatedState = folder + "/short.state";
    std::ofstream(truncatedState, std::ios::binary) << "QLG";
    const std::string garbageState = folder + "/noise.state";
    std::ofstream(garbageState, std::ios::binary) << std::string(50, '\x7f');
    const std::string notAFolder = good;
    const std::string otherPlugin = folder + "/other.fxp";
    WriteFile(otherPlugin, PresetFile("FPCh", 0x41424344, std::string(96, '\0'), {}));
    const std::string cutPreset = folder + "/cut.fxp";
    WriteFile(cutPreset, PresetFile("FPCh", kUniqueId, std::string(96, '\0'), {}).substr(0, 100));

    struct Bad {
        std::vector<std::string> args;
        std::string subject;  // the file the message must name
        std::string reason;   // words the message must hold
    };
    const std::string out = NewFolder("bad/out");
    const std::vector<Bad> cases = {
        {{folder + "/missing.wav"}, folder + "/missing.wav", "No such file"},
        {{garbage}, garbage, "ormat"},
        {{empty}, empty, "no audio frames"},
        {{rateZero}, rateZero, ""},
        {{rateHigh}, rateHigh, "sample rate"},
        {{good, "--at", "0.2"}, good, "beyond the end"},
        {{good, "--at", "nan"}, "--at", "not a moment"},
        {{good, "-o", folder + "/nowhere/x.png"}, folder + "/nowhere", "does not exist"},
        {{good, "--frames", notAFolder + "/frames"}, notAFolder + "/frames", notAFolder + " is not a folder"},
        {{good, "--frames", notAFolder}, notAFolder, "not a folder"},
        {{good, "--state", truncatedState}, truncatedState, "malformed state file"},
        {{good, "--state", garbageState}, garbageState, "malformed state file"},
        {{good, "--state", folder + "/missing.state"}, folder + "/missing.state", "cannot read"},
        {{good, "--state", otherPlugin}, otherPlugin, "another plug-in"},
        {{good, "--state", cutPreset}, cutPreset, "truncated"},
        {{out}, out, "Is a directory"},
        {{good, "--state", out}, out, "Is a directory"},
        {{""}, "file", "empty"},
        {{good, "--state", ""}, "--state", "empty"},
        {{good, "--at", ""}, "--at", "not a moment"},
        {{good, "--at", "1e300"}, "--at", "not a moment"},
        {{good, "--pause-at", "0.05s"}, "--pause-at", "not a moment"},
        {{good, "--every", "0.001"}, "--every", "shorter than the editor's redraw period (0.041 s)"},
        {{good, "--every", "1e-300"}, "--every", "shorter than the editor's redraw period"},
        {{good, "--every", "inf"}, "--every", "not a number of seconds"},
        {{good, "--vscale", "2,5"}, "--vscale", "not a v scale"},
        {{good, "--vscale", "nan"}, "--vscale", "not a v scale"},
        {{good, "--scale", "2x"}, "--scale", "not a whole number"},
        {{good, "--scale", "4294967298"}, "--scale", "not a whole number"},
        {{good, "--block", "0x10"}, "--block", "not a number of frames"},
        {{good, "--zoom", "7"}, "--zoom", "not a zoom band"},
        {{good, "--channels", "4294967297,2"}, "--channels", "not two channel numbers"},
        {{good, "--channels", "1,2,3"}, "--channels", "not two channel numbers"},
    };
    for (const Bad& c : cases) {
        std::vector<std::string> args = c.args;
        if (std::find(args.begin(), args.end(), "-o") == args.end() &&
            std::find(args.begin(), args.end(), "--frames") == args.end()) {
            args.push_back("-o");
            args.push_back(out + "/picture.png");
        }
        const ToolRun run = Render(args);
        SCOPED_TRACE(args[0] + " " + args[1] + " " + args[2]);
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.subject + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(FilesIn(out), std::vector<std::string>()) << run.err;
    }
}

TEST(RenderTool, ProgressBarOnlyOnATerminal)
{
    const std::string folder = NewFolder("progress");
    const std::string audioPath = folder + "/chord.wav";
    WriteAudio(audioPath, 48000, 2, 96000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));

    const ToolRun bar = RenderOnTerminal({audioPath, "-o", folder + "/a.png"});
    EXPECT_EQ(bar.status, 0) << bar.err;
    EXPECT_NE(bar.err.find('\r'), std::string::npos) << bar.err;
    EXPECT_NE(bar.err.find("100%"), std::string::npos) << bar.err;
    EXPECT_NE(bar.err.find("frame 49/49"), std::string::npos) << bar.err;
    EXPECT_NE(bar.err.find("x real time"), std::string::npos) << bar.err;

    const ToolRun summary = Render({audioPath, "-o", folder + "/b.png"});
    EXPECT_EQ(summary.status, 0) << summary.err;
    EXPECT_EQ(summary.err.find('\r'), std::string::npos) << summary.err;
    EXPECT_EQ(std::count(summary.err.begin(), summary.err.end(), '\n'), 1) << summary.err;
    EXPECT_EQ(summary.err.rfind(audioPath + ": 49 frames, 2.0 s of audio in ", 0), 0u) << summary.err;

    EXPECT_EQ(RenderOnTerminal({audioPath, "-o", folder + "/c.png", "--quiet"}).err, "");
    EXPECT_EQ(Render({audioPath, "-o", folder + "/d.png", "-q"}).err, "");
}

TEST(RenderTool, PicturesAreWrittenSafelyAndFramesFoldersMade)
{
    const std::string folder = NewFolder("safe");
    const std::string audioPath = folder + "/chord.wav";
    WriteAudio(audioPath, 48000, 2, 30000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));
    const Audio audio = ReadAudio(audioPath);
    Reference editor(audio, 0, 1);
    editor.RunTo(500 / kTimerMs);
    mode_t mask = umask(0);
    umask(mask);

    // A link laid at a guessable temporary name (the picture's name, ".part" and the tool's
    // process id) must not lead the tool to write over the link's target.
    const std::string precious = folder + "/precious.txt", out = folder + "/out.png";
    WriteFile(precious, "keep me");
    std::string link;
    const ToolRun run = Render({audioPath, "--at", "0.5", "-o", out, "-q"}, {}, [&](pid_t tool) {
        link = "out.png.part" + std::to_string(tool);
        ASSERT_EQ(symlink(precious.c_str(), (folder + "/" + link).c_str()), 0);
    });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ReadFile(precious) == "keep me") << "the link's target was written over";
    struct stat info = {};
    ASSERT_EQ(lstat(out.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    ExpectPictureFile(out, editor.Pixels());
    std::vector<std::string> names = {"chord.wav", "out.png", link, "precious.txt"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FilesIn(folder), names);  // and no temporary file left

    // A missing frames folder is made with its parents, as mkdir -p makes them.
    const std::string video = folder + "/video/of/chord";
    ASSERT_EQ(Render({audioPath, "--frames", video + "/", "-q"}).status, 0);
    EXPECT_EQ(FilesIn(video).size(), 17u);
    for (const std::string& made : {folder + "/video", video}) {
        ASSERT_EQ(stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 0777, 0777 & ~mask) << made;
    }
    // One that may not be made is refused (root may make any).
    if (geteuid() != 0) {
        const std::string locked = NewFolder("safe/locked");
        chmod(locked.c_str(), 0555);
        const ToolRun refused = Render({audioPath, "--frames", locked + "/frames", "-q"});
        EXPECT_NE(refused.status, 0);
        EXPECT_EQ(refused.err,
                  "quillograph-render: " + locked + "/frames: cannot make the folder: Permission denied\n");
        chmod(locked.c_str(), 0755);
    }
}

// A locale whose decimal point is a comma, or nothing when the machine has none.
std::string CommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"}) {
        const locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
        if (!locale) continue;
        const bool comma = std::strcmp(nl_langinfo_l(RADIXCHAR, locale), ",") == 0;
        freelocale(locale);
        if (comma) return name;
    }
    return {};
}

TEST(RenderTool, NumbersAreReadAndWrittenAlikeInEveryLocale)
{
    const std::string locale = CommaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma (tools/setup-debian.sh makes de_DE.UTF-8)";
    const std::string folder = NewFolder("locale");
    const std::string audioPath = folder + "/chord.wav";
    WriteAudio(audioPath, 48000, 2, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, Chord(48000));
    const ToolRun run = Render({audioPath, "--domain", "freq", "--at", "0.5", "--vscale", "2.5", "-o",
                                folder + "/half.png"},
                               {"LC_ALL=" + locale, "LANG=" + locale});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex summary(": 12 frames, 0\\.5 s of audio in [0-9]+\\.[0-9]{2} s \\([0-9]+\\.[0-9]x real time\\), "
                             "1 picture written\n$");
    EXPECT_TRUE(std::regex_search(run.err, summary)) << run.err;
    const Audio audio = ReadAudio(audioPath);
    Reference editor(audio, 0, 1);
    editor.Set(AnalyserPlugin::kDomain, 1);
    editor.Set(AnalyserPlugin::kVScale, 2.5);
    editor.RunTo(500 / kTimerMs);
    ExpectPictureFile(folder + "/half.png", editor.Pixels());
}
