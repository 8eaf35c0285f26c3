#include "tools/render/Renderer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

#include "analyser/AnalyserPlugin.h"
#include "graphics/Graphics.h"
#include "tools/render/AudioSource.h"
#include "tools/render/EditorRig.h"
#include "tools/render/NumberText.h"
#include "tools/render/PictureFile.h"
#include "tools/render/Progress.h"
#include "tools/render/StateFile.h"

const char* const kDomainNames[4] = {"time", "freq", "phase", "spectro"};

namespace {

constexpr int kReadFrames = 8192;
constexpr int kSeriesLevel = 1;   // frames and series: speed over size
constexpr int kSingleLevel = 6;
constexpr int kSheetGap = 2;
constexpr uint32_t kSheetGapColour = 0xFF404040;
// Decimal moments such as 0.082 s land on their tick despite binary fractions.
constexpr double kTickSlack = 1e-9;

int64_t Period() { return static_cast<int64_t>(Graphics::TimerPeriod()); }

// What is written: one picture (at a moment or at the end), a series every so many
// seconds, or every frame. Pictures are planned one at a time, so that nothing grows with
// the length of the file.
enum class Plan { kEnd, kAt, kEvery, kFrames };

std::string Stem(const std::string& path)
{
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::string("picture") : name;
}

std::string WithoutPng(const std::string& path)
{
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) return path.substr(0, path.size() - 4);
    return path;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Empty when pictures can be written into the folder, otherwise the reason.
std::string FolderProblem(const std::string& folder)
{
    struct stat info = {};
    if (stat(folder.c_str(), &info) != 0)
        return errno == ENOENT ? "output folder does not exist" : std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return "not a folder";
    if (access(folder.c_str(), W_OK | X_OK) != 0) return "output folder cannot be written";
    return {};
}

// Makes the folder and its missing parents, as "mkdir -p" does (0777 less the umask); empty
// when it is there, otherwise the reason.
std::string MakeFolders(const std::string& folder)
{
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        struct stat info = {};
        if (stat(part.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return part == folder ? "not a folder" : part + " is not a folder";
        } else if (errno != ENOENT || (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)) {
            return "cannot make " + (part == folder ? std::string("the folder") : part) + ": " + std::strerror(errno);
        }
        if (end == std::string::npos) return {};
    }
}

std::string Numbered(int64_t n, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(n));
    return text;
}

std::string Seconds(double s) { return WriteDecimal(s, 3) + " s"; }

class Job {
public:
    Job(const RenderOptions& o, FILE* e) : options(o), err(e) {}
    int Run();

private:
    bool Fail(const std::string& subject, const std::string& reason)
    {
        if (progress) progress->Abandon();
        std::fprintf(err, "quillograph-render: %s: %s\n", subject.c_str(), reason.c_str());
        return false;
    }
    bool PlanPictures();
    bool CheckFolders();
    bool MakeRigs();
    bool Play();
    bool FeedTo(int64_t target);
    bool Shorten(int64_t tick);
    int64_t NextTick() const;
    std::vector<std::string> PathsFor(int64_t number) const;
    bool Emit(const std::vector<std::string>& paths);

    const RenderOptions& options;
    FILE* err;
    AudioSource audio;
    StateFile state;
    std::vector<std::unique_ptr<EditorRig>> rigs;
    Plan plan = Plan::kEnd;
    std::string base;
    int64_t lastTick = 0;     // the last tick drawn
    int64_t next = 0;         // the number of the next picture: frame number, or 1-based in a series
    int64_t seriesCount = 0;
    int numberWidth = 4;
    std::unique_ptr<Progress> progress;
    int64_t totalFrames = 0;
    int64_t fed = 0;
    int64_t pauseSample = -1;
    bool pauseSent = false;
    bool ended = false;
    int64_t pictures = 0;
    int level = kSingleLevel;
    std::vector<double> bufferLeft, bufferRight;
    Picture shot, enlarged;  // kept from picture to picture, so their room is reused
    int bufferPos = 0, bufferLength = 0;
};

bool Job::PlanPictures()
{
    const int rate = audio.SampleRate();
    const double duration = static_cast<double>(totalFrames) / rate;
    // An output naming a folder takes the pictures under the audio file's name.
    struct stat info = {};
    const bool folder =
        !options.output.empty() &&
        (options.output.back() == '/' || (stat(options.output.c_str(), &info) == 0 && S_ISDIR(info.st_mode)));
    if (options.output.empty()) base = Stem(options.input);
    else if (folder) base = options.output + (options.output.back() == '/' ? "" : "/") + Stem(options.input);
    else base = WithoutPng(options.output);

    // Moments are compared so that a NaN from a caller counts as beyond the end.
    if (options.pauseAt && !(*options.pauseAt <= duration + kTickSlack))
        return Fail(options.input, "--pause-at " + Seconds(*options.pauseAt) + " is beyond the end of the file (" +
                                       Seconds(duration) + ")");
    if (options.pauseAt)
        pauseSample = std::min<int64_t>(static_cast<int64_t>(std::floor(*options.pauseAt * rate)), totalFrames);

    if (!options.framesFolder.empty()) {
        plan = Plan::kFrames;
        level = kSeriesLevel;
        lastTick = FirstTickAfter(totalFrames, rate);
        return true;
    }
    if (options.every) {
        const double every = *options.every;
        // More often than the editor redraws, pictures would repeat.
        if (!(every * 1000.0 >= static_cast<double>(Period())))
            return Fail("--every", WriteDecimal(every) + " is shorter than the editor's redraw period (" +
                                       Seconds(static_cast<double>(Period()) / 1000.0) + ")");
        plan = Plan::kEvery;
        level = kSeriesLevel;
        seriesCount = static_cast<int64_t>(std::floor(duration / every + kTickSlack));
        if (seriesCount < 1)
            return Fail(options.input, "--every " + Seconds(every) + " is longer than the file (" +
                                           Seconds(duration) + ")");
        numberWidth = std::max<int>(4, static_cast<int>(std::to_string(seriesCount).size()));
        next = 1;
        lastTick = TickAtOrBefore(static_cast<double>(seriesCount) * every);
        return true;
    }
    if (options.at) {
        if (!(*options.at <= duration + kTickSlack))
            return Fail(options.input,
                        "--at " + Seconds(*options.at) + " is beyond the end of the file (" + Seconds(duration) + ")");
        plan = Plan::kAt;
        lastTick = TickAtOrBefore(*options.at);
        return true;
    }
    plan = Plan::kEnd;
    lastTick = FirstTickAfter(totalFrames, rate);
    return true;
}

int64_t Job::NextTick() const
{
    switch (plan) {
    case Plan::kEvery:
        return next <= seriesCount ? TickAtOrBefore(static_cast<double>(next) * *options.every) : -1;
    case Plan::kFrames:
        return next <= lastTick ? next : -1;
    default:
        return next == 0 ? lastTick : -1;
    }
}

std::vector<std::string> Job::PathsFor(int64_t number) const
{
    const bool separate = !options.sheet && options.domains.size() > 1;
    const size_t count = separate ? options.domains.size() : 1;
    std::vector<std::string> paths;
    for (size_t i = 0; i < count; ++i) {
        const std::string domain = separate ? kDomainNames[options.domains[i]] : "";
        if (plan == Plan::kFrames) {
            paths.push_back(options.framesFolder + "/" + (separate ? domain : "frame") + "-" + Numbered(number, 6) +
                            ".png");
            continue;
        }
        std::string path = base;
        if (separate) path += "-" + domain;
        if (plan == Plan::kEvery) path += "-" + Numbered(number, numberWidth);
        paths.push_back(path + ".png");
    }
    return paths;
}

// The frames' folder is made when missing, as users expect of an output folder; a picture's
// folder must be there.
bool Job::CheckFolders()
{
    const bool frames = !options.framesFolder.empty();
    const std::string folder = frames ? options.framesFolder : FolderOf(PathsFor(1).front());
    std::string problem = frames ? MakeFolders(folder) : std::string();
    if (problem.empty()) problem = FolderProblem(folder);
    return problem.empty() || Fail(folder, problem);
}

bool Job::MakeRigs()
{
    const size_t count = options.domains.empty() ? 1 : options.domains.size();
    for (size_t i = 0; i < count; ++i) {
        std::unique_ptr<EditorRig> rig = EditorRig::Make(audio.SampleRate(), options.blockSize);
        if (!rig) return Fail(options.input, "cannot make the analyser and its editor");
        std::string error;
        if (i == 0 && !options.statePath.empty() && !state.Read(options.statePath, rig->UniqueId(), error))
            return Fail(options.statePath, error);
        if (!state.chunk.empty() && !rig->LoadState(state.chunk, state.programChunk))
            return Fail(options.statePath, "malformed state file (the analyser refused it)");
        for (size_t p = 0; p < state.parameters.size(); ++p)
            rig->SetNormalized(static_cast<int>(p), state.parameters[p]);
        if (!options.domains.empty()) rig->SetParameter(AnalyserPlugin::kDomain, options.domains[i]);
        if (options.vScale) rig->SetParameter(AnalyserPlugin::kVScale, *options.vScale);
        if (options.fftZoom) rig->SetParameter(AnalyserPlugin::kFftZoom, *options.fftZoom);
        if (pauseSample == 0) rig->SetParameter(AnalyserPlugin::kPause, 1.0);
        rigs.push_back(std::move(rig));
    }
    pauseSent = pauseSample == 0;
    return true;
}

// Plays the file up to target samples (or its end), pausing the displays on the way when
// asked to, as an automated pause parameter would.
bool Job::FeedTo(int64_t target)
{
    while (fed < target && !ended) {
        if (bufferPos == bufferLength) {
            std::string error;
            const int64_t got = audio.Read(bufferLeft.data(), bufferRight.data(), kReadFrames, error);
            if (got < 0) return Fail(options.input, "cannot read audio: " + error);
            if (got == 0) {
                ended = true;
                break;
            }
            bufferPos = 0;
            bufferLength = static_cast<int>(got);
        }
        int64_t n = std::min<int64_t>(bufferLength - bufferPos, target - fed);
        if (!pauseSent && pauseSample > fed) n = std::min(n, pauseSample - fed);
        for (auto& rig : rigs) rig->Process(&bufferLeft[bufferPos], &bufferRight[bufferPos], n);
        bufferPos += static_cast<int>(n);
        fed += n;
        if (!pauseSent && fed == pauseSample) {
            for (auto& rig : rigs) rig->SetParameter(AnalyserPlugin::kPause, 1.0);
            pauseSent = true;
        }
    }
    return true;
}

bool Job::Emit(const std::vector<std::string>& paths)
{
    const int w = rigs.front()->Width(), h = rigs.front()->Height();
    const bool onSheet = options.sheet && rigs.size() == 4;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (onSheet) {
            shot.width = 2 * w + kSheetGap;
            shot.height = 2 * h + kSheetGap;
            shot.pixels.assign(static_cast<size_t>(shot.width) * shot.height, kSheetGapColour);
            for (size_t d = 0; d < 4; ++d)
                PlacePixels(shot, rigs[d]->Pixels(), w, h, static_cast<int>(d % 2) * (w + kSheetGap),
                            static_cast<int>(d / 2) * (h + kSheetGap));
        } else {
            shot.width = w;
            shot.height = h;
            shot.pixels = rigs[i]->Pixels();
        }
        const Picture* out = &shot;
        if (options.scale > 1) {
            Enlarge(shot, options.scale, enlarged);
            out = &enlarged;
        }
        std::string error;
        // A single picture is worth its wait for the disk; a series of thousands is not.
        const bool durable = plan == Plan::kEnd || plan == Plan::kAt;
        if (!WritePictureFile(*out, paths[i], level, error, durable))
            return Fail(paths[i], "cannot write picture: " + error);
        ++pictures;
    }
    return true;
}

bool Job::Play()
{
    const int rate = audio.SampleRate();
    bufferLeft.resize(kReadFrames);
    bufferRight.resize(kReadFrames);
    progress.reset(new Progress(err, Progress::ModeFor(err, options.quiet), options.input, lastTick,
                                static_cast<double>(totalFrames) / rate));
    for (int64_t tick = 0; tick <= lastTick; ++tick) {
        if (tick > 0 && !FeedTo(SamplesBeforeTick(tick, rate))) return false;
        if (ended && fed < totalFrames && !Shorten(tick)) return false;
        for (auto& rig : rigs) rig->Tick();
        for (int64_t wanted = NextTick(); wanted >= 0 && wanted <= tick; wanted = NextTick())
            if (!Emit(PathsFor(next++))) return false;
        progress->Update(tick,
                         std::min(static_cast<double>(fed) / rate, static_cast<double>(tick * Period()) / 1000.0));
    }
    progress->Finish(lastTick, static_cast<double>(fed) / rate, pictures);
    return true;
}

// The header promised more frames than the file holds: the end comes sooner. A picture of
// a moment past the real end cannot be made; the end picture and the frames follow it.
bool Job::Shorten(int64_t tick)
{
    const int rate = audio.SampleRate();
    totalFrames = fed;
    if (fed == 0) return Fail(options.input, "no audio frames");
    const int64_t end = std::max(FirstTickAfter(fed, rate), tick);
    if (end >= lastTick) return true;
    if (plan == Plan::kAt || plan == Plan::kEvery)
        return Fail(options.input, "the audio ends at " + Seconds(static_cast<double>(fed) / rate) +
                                       ", before the moment asked for");
    lastTick = end;
    return true;
}

int Job::Run()
{
    std::string error;
    if (!audio.Open(options.input, options.leftChannel, options.rightChannel, error)) {
        Fail(options.input, error);
        return 1;
    }
    totalFrames = audio.Frames();
    // A state that cannot be loaded leaves no new folder behind.
    if (!PlanPictures() || !MakeRigs() || !CheckFolders() || !Play()) return 1;
    return 0;
}

}  // namespace

int64_t TickAtOrBefore(double seconds)
{
    return static_cast<int64_t>(std::floor(seconds * 1000.0 / static_cast<double>(Period()) + kTickSlack));
}

int64_t SamplesBeforeTick(int64_t tick, int sampleRate)
{
    return tick * Period() * sampleRate / 1000;
}

int64_t FirstTickAfter(int64_t frames, int sampleRate)
{
    const int64_t perTick = Period() * sampleRate;
    return (frames * 1000 + perTick - 1) / perTick;
}

int RunRender(const RenderOptions& options, FILE* err)
{
    Job job(options, err);
    return job.Run();
}
