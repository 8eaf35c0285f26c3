// Plays an audio file through the analyser and writes the editor's pictures: the whole
// job of the command-line tool once its arguments are understood.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

struct RenderOptions {
    std::string input;
    // The picture file of a single picture, and the name the pictures of a series are
    // numbered after; empty: the audio file's name with .png, in the current folder.
    std::string output;
    std::optional<double> at;  // seconds into the file; unset: the end
    std::optional<double> every;  // seconds between the pictures of a series; at least the redraw period
    std::string framesFolder;  // non-empty: every frame into this folder
    std::vector<int> domains;  // empty: as the state (or the plug-in's default) leaves it
    bool sheet = false;        // the four displays on one 2 x 2 sheet
    std::optional<double> vScale;
    std::optional<int> fftZoom;
    std::optional<double> pauseAt;
    std::string statePath;
    int scale = 1;
    int blockSize = 512;
    int leftChannel = -1;  // 0-based; -1: the first channel
    int rightChannel = -1;
    bool quiet = false;
};

// The display names in parameter order: time, freq, phase, spectro.
extern const char* const kDomainNames[4];

// Which tick of the editor's timer (41 ms apart) is the last one at or before a moment, and
// how many samples have been played when tick n fires.
int64_t TickAtOrBefore(double seconds);
int64_t SamplesBeforeTick(int64_t tick, int sampleRate);
// The first tick at which all frames of the file have been played.
int64_t FirstTickAfter(int64_t frames, int sampleRate);

// Runs the job; errors and progress go to err. Answers the process exit status.
int RunRender(const RenderOptions& options, FILE* err);
