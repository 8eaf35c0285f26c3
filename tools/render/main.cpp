// quillograph-render: plays an audio file through the analyser and writes the pictures
// its editor shows.
#include <CLI/CLI.hpp>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "tools/render/NumberText.h"
#include "tools/render/PictureFile.h"
#include "tools/render/Renderer.h"

namespace {

const char* const kZoomBands[7] = {"0-18k", "20-200", "100-500", "500-2k", "1k-7.5k", "7.5k-12k", "12k-20k"};

// The options' values are read here rather than by the library, which lets NaN, hex and
// overflowing numbers through or words them badly. Each reader answers the first refusal
// as one line naming the option.
std::string Refusal(const std::string& option, const std::string& text, const std::string& what)
{
    return option + ": " + (text.empty() ? std::string("an empty value") : text) + " is not " + what;
}

// A given option's text as a number from low to high; an option not given keeps its value.
bool Decimal(const CLI::Option* option, const std::string& text, double low, double high, const std::string& what,
             std::optional<double>& value, std::string& error)
{
    if (!*option) return true;
    const std::optional<double> read = ReadDecimal(text);
    if (read && *read >= low && *read <= high) {
        value = read;
        return true;
    }
    error = Refusal(option->get_name(), text, what);
    return false;
}

bool Whole(const CLI::Option* option, const std::string& text, int low, int high, const std::string& what, int& value,
           std::string& error)
{
    if (!*option) return true;
    const std::optional<int64_t> read = ReadWhole(text);
    if (read && *read >= low && *read <= high) {
        value = static_cast<int>(*read);
        return true;
    }
    error = Refusal(option->get_name(), text, what);
    return false;
}

// Two channel numbers counted from 1, as "3,4"; a file tells later whether it has them.
bool ChannelPair(const std::string& text, int& left, int& right, std::string& error)
{
    constexpr int64_t kMost = 1 << 16;
    const size_t comma = text.find(',');
    const std::optional<int64_t> l = ReadWhole(std::string_view(text).substr(0, comma));
    const std::optional<int64_t> r =
        comma == std::string::npos ? std::nullopt : ReadWhole(std::string_view(text).substr(comma + 1));
    if (!l || !r || *l < 1 || *r < 1 || *l > kMost || *r > kMost) {
        error = Refusal("--channels", text, "two channel numbers counted from 1, as 3,4");
        return false;
    }
    left = static_cast<int>(*l);
    right = static_cast<int>(*r);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Each picture file takes and gives back the compressor's few hundred kilobytes: kept
    // on the heap, they are not handed to the kernel and faulted in again for every frame.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    CLI::App app{"Plays an audio file through the Quillograph analyser and writes the pictures its editor shows.\n"
                 "The editor redraws every 41 ms of audio; frame n is the picture n redraws into playback.",
                 "quillograph-render"};
    RenderOptions options;
    std::string at, every, pauseAt, vScale, scale, block, domain, zoom, channels;

    auto* fileOption = app.add_option("file", options.input, "Audio file (WAV, FLAC, Ogg/Vorbis, AIFF, ...)");
    auto* outputOption = app.add_option(
        "-o,--output", options.output,
        "Picture file; a series is numbered after it (default: the audio file's name with .png)");
    auto* atOption = app.add_option("--at", at, "One picture at this moment, in seconds (default: the end)");
    auto* everyOption = app.add_option("--every", every,
                                       "A numbered picture every so many seconds, at least the redraw period (0.041)");
    auto* framesOption = app.add_option("--frames", options.framesFolder,
                                        "Every frame into this folder (made if missing), numbered for a video encoder");
    app.add_option("--domain", domain, "Display: time, freq, phase, spectro or all (default: as the state has it)")
        ->check(CLI::IsMember({"time", "freq", "phase", "spectro", "all"}));
    app.add_flag("--sheet", options.sheet, "With --domain all: the four displays on one 2 x 2 sheet");
    auto* vScaleOption = app.add_option("--vscale", vScale, "The v scale parameter");
    auto* zoomOption = app.add_option("--zoom", zoom, "The fft zoom parameter: 0 to 6 or a band such as 20-200");
    auto* pauseOption =
        app.add_option("--pause-at", pauseAt, "Turns the pause parameter on at this moment, in seconds");
    auto* stateOption = app.add_option(
        "--state", options.statePath,
        "A saved state: the chunk as a host stores it, or a preset (.fxp) or bank (.fxb) file of the plug-in");
    auto* scaleOption = app.add_option("--scale", scale, "Enlarges the pictures by whole pixels");
    auto* blockOption = app.add_option(
        "--block", block, "Frames per audio block at most, as a host sends them (a block also ends at each redraw)");
    auto* channelsOption =
        app.add_option("--channels", channels, "The two channels to analyse, counted from 1, as L,R (default 1,2)");
    fileOption->required()->type_name("FILE");
    outputOption->type_name("FILE");
    stateOption->type_name("FILE");
    framesOption->type_name("DIR");
    atOption->type_name("SECONDS")->excludes(everyOption)->excludes(framesOption);
    everyOption->type_name("SECONDS")->excludes(framesOption);
    pauseOption->type_name("SECONDS");
    vScaleOption->type_name("0.1 to 20");
    scaleOption->type_name("1 to 16");
    blockOption->type_name("1 to 65536");
    channelsOption->type_name("L,R");
    app.add_flag("-q,--quiet", options.quiet, "No progress bar and no summary");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "quillograph-render: %s (see --help)\n", e.what());
        return e.get_exit_code();
    }

    std::string error;
    auto usage = [&error]() {
        std::fprintf(stderr, "quillograph-render: %s\n", error.c_str());
        return 2;
    };
    const struct {
        CLI::Option* option;
        const std::string& name;
        const char* what;
    } names[] = {{fileOption, options.input, "an audio file's name"},
                 {outputOption, options.output, "a picture file's name"},
                 {framesOption, options.framesFolder, "a folder's name"},
                 {stateOption, options.statePath, "a state file's name"}};
    for (const auto& n : names)
        if (*n.option && n.name.empty()) {
            error = Refusal(n.option->get_name(), "", n.what);
            return usage();
        }
    const std::string moment = "a moment in seconds (0 to 1000000000)";
    if (!Decimal(atOption, at, 0.0, 1e9, moment, options.at, error) ||
        !Decimal(everyOption, every, 0.0, 1e9, "a number of seconds (0.041 to 1000000000)", options.every, error) ||
        !Decimal(pauseOption, pauseAt, 0.0, 1e9, moment, options.pauseAt, error) ||
        !Decimal(vScaleOption, vScale, 0.1, 20.0, "a v scale from 0.1 to 20", options.vScale, error) ||
        !Whole(scaleOption, scale, 1, 16, "a whole number from 1 to 16", options.scale, error) ||
        !Whole(blockOption, block, 1, 65536, "a number of frames from 1 to 65536", options.blockSize, error))
        return usage();
    if (domain == "all") options.domains = {0, 1, 2, 3};
    for (int i = 0; i < 4 && domain != "all"; ++i)
        if (domain == kDomainNames[i]) options.domains = {i};
    if (options.sheet && options.domains.size() != 4) {
        error = "--sheet needs --domain all";
        return usage();
    }
    if (*zoomOption) {
        const std::optional<int64_t> index = ReadWhole(zoom);
        for (int i = 0; i < 7; ++i)
            if (zoom == kZoomBands[i] || index == i) options.fftZoom = i;
        if (!options.fftZoom) {
            error = Refusal("--zoom", zoom, "a zoom band (0 to 6, or 0-18k, 20-200, ...)");
            return usage();
        }
    }
    if (*channelsOption) {
        int left = 0, right = 0;
        if (!ChannelPair(channels, left, right, error)) return usage();
        options.leftChannel = left - 1;
        options.rightChannel = right - 1;
    }
    RemovePartialPicturesOnInterrupt();
    return RunRender(options, stderr);
}
