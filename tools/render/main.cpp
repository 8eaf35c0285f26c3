// quillograph-render: plays an audio file through the analyser and writes the pictures
// its editor shows.
#include <CLI/CLI.hpp>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/PictureFile.h"
#include "tools/render/Renderer.h"

namespace {

const char* const kZoomBands[7] = {"0-18k", "20-200", "100-500", "500-2k", "1k-7.5k", "7.5k-12k", "12k-20k"};

// A finite number from low (inclusive, or exclusive when open) to high; NaN and infinity,
// which the library's own range checks let through or word badly, are refused.
CLI::Validator Finite(double low, double high, bool open, const std::string& name, const std::string& shown)
{
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            double value = 0.0;
            size_t used = 0;
            try {
                value = std::stod(text, &used);
            } catch (...) {
                used = 0;
            }
            const bool inside = used == text.size() && std::isfinite(value) && (open ? value > low : value >= low) &&
                                value <= high;
            return inside ? std::string() : text + " is not " + name;
        },
        shown);
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
    std::string domain, zoom, channels;
    double at = -1.0, pauseAt = -1.0, vScale = 0.0;

    app.add_option("file", options.input, "Audio file (WAV, FLAC, Ogg/Vorbis, AIFF, ...)")->required();
    app.add_option("-o,--output", options.output,
                   "Picture file; a series is numbered after it (default: the audio file's name with .png)");
    auto* atOption = app.add_option("--at", at, "One picture at this moment, in seconds (default: the end)")
                         ->check(Finite(0.0, 1e9, false, "a moment in seconds", "SECONDS"));
    auto* everyOption = app.add_option("--every", options.every, "A numbered picture every so many seconds")
                            ->check(Finite(0.0, 1e9, true, "a positive number of seconds", "SECONDS"));
    auto* framesOption =
        app.add_option("--frames", options.framesFolder, "Every frame into this folder, numbered for a video encoder");
    atOption->excludes(everyOption)->excludes(framesOption);
    everyOption->excludes(framesOption);
    app.add_option("--domain", domain, "Display: time, freq, phase, spectro or all (default: as the state has it)")
        ->check(CLI::IsMember({"time", "freq", "phase", "spectro", "all"}));
    app.add_flag("--sheet", options.sheet, "With --domain all: the four displays on one 2 x 2 sheet");
    auto* vScaleOption = app.add_option("--vscale", vScale, "The v scale parameter, 0.1 to 20")
                             ->check(Finite(0.1, 20.0, false, "a v scale from 0.1 to 20", "0.1 to 20"));
    auto* zoomOption = app.add_option("--zoom", zoom, "The fft zoom parameter: 0 to 6 or a band such as 20-200");
    auto* pauseOption = app.add_option("--pause-at", pauseAt, "Turns the pause parameter on at this moment, in seconds")
                            ->check(Finite(0.0, 1e9, false, "a moment in seconds", "SECONDS"));
    app.add_option(
        "--state", options.statePath,
        "A saved state: the chunk as a host stores it, or a preset (.fxp) or bank (.fxb) file of the plug-in");
    app.add_option("--scale", options.scale, "Enlarges the pictures by whole pixels")->check(CLI::Range(1, 16));
    app.add_option("--block", options.blockSize,
                   "Frames per audio block at most, as a host sends them (a block also ends at each redraw)")
        ->check(CLI::Range(1, 65536));
    app.add_option("--channels", channels, "The two channels to analyse, counted from 1, as L,R (default 1,2)");
    app.add_flag("-q,--quiet", options.quiet, "No progress bar and no summary");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "quillograph-render: %s (see --help)\n", e.what());
        return e.get_exit_code();
    }

    auto usage = [](const std::string& text) {
        std::fprintf(stderr, "quillograph-render: %s\n", text.c_str());
        return 2;
    };
    if (*atOption) options.at = at;
    if (*pauseOption) options.pauseAt = pauseAt;
    if (*vScaleOption) options.vScale = vScale;
    if (domain == "all") options.domains = {0, 1, 2, 3};
    for (int i = 0; i < 4 && domain != "all"; ++i)
        if (domain == kDomainNames[i]) options.domains = {i};
    if (options.sheet && options.domains.size() != 4) return usage("--sheet needs --domain all");
    if (*zoomOption) {
        for (int i = 0; i < 7; ++i)
            if (zoom == kZoomBands[i] || zoom == std::to_string(i)) options.fftZoom = i;
        if (!options.fftZoom) return usage("--zoom " + zoom + ": not a zoom band (0 to 6, or 0-18k, 20-200, ...)");
    }
    if (!channels.empty()) {
        int left = 0, right = 0;
        char extra = 0;
        if (std::sscanf(channels.c_str(), "%d,%d%c", &left, &right, &extra) != 2 || left < 1 || right < 1)
            return usage("--channels " + channels + ": give two channel numbers counted from 1, as 3,4");
        options.leftChannel = left - 1;
        options.rightChannel = right - 1;
    }
    RemovePartialPicturesOnInterrupt();
    return RunRender(options, stderr);
}
