// What the tool tells the user while it works: on a terminal a bar redrawn in place
// (percent, frames, speed as a multiple of real time), otherwise one closing summary line;
// nothing at all when quiet.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class Progress {
public:
    enum class Mode { kQuiet, kBar, kSummary };

    // The bar on a terminal, the summary line elsewhere.
    static Mode ModeFor(FILE* stream, bool quiet);

    Progress(FILE* stream, Mode mode, std::string name, int64_t totalFrames, double audioSeconds);
    // Frames drawn so far and the seconds of audio they cover.
    void Update(int64_t frames, double seconds);
    // Clears the bar and writes the summary (only in summary mode).
    void Finish(int64_t frames, double seconds, int64_t picturesWritten);
    // Takes the bar off the line before an error message is written.
    void Abandon();

private:
    double Elapsed() const;
    void DrawBar(int64_t frames, double seconds);

    FILE* stream;
    Mode mode;
    std::string name;
    int64_t totalFrames;
    double audioSeconds;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
    bool barShown = false;
};
