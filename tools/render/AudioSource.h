// An audio file opened with libsndfile and read a block at a time as the two channels the
// analyser takes: mono feeds both, wider files give the two chosen channels.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

class AudioSource {
public:
    static constexpr int kMaxSampleRate = 768000;

    AudioSource() = default;
    ~AudioSource();
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;

    // Opens the file and checks that it can be played; on failure error holds the reason.
    // left and right are 0-based channel numbers, -1 for the default choice.
    bool Open(const std::string& path, int left, int right, std::string& error);

    // Reads up to frames frames into the two channels; answers how many were read, 0 at the
    // end and -1 on a read error (error then holds the reason).
    int64_t Read(double* left, double* right, int frames, std::string& error);

    int SampleRate() const { return rate; }
    int Channels() const { return channels; }
    // As the header says; the file may still end earlier.
    int64_t Frames() const { return frames; }

private:
    SNDFILE* file = nullptr;
    int rate = 0;
    int channels = 0;
    int64_t frames = 0;
    int leftChannel = 0;
    int rightChannel = 0;
    std::vector<double> interleaved;
};
