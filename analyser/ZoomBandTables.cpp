#include "analyser/ZoomBandTables.h"

#include <cstddef>
#include <cstdint>
#include <new>

#include "analyser/AnalyserLayout.h"

namespace {

// Grid frequencies of the zoom bands, in Hz, by fft zoom.
constexpr int32_t kFreq0[] = {0, 100, 500, 1000, 2000, 3000, 4000, 5000, 10000, 18000};
constexpr int32_t kFreq1[] = {25, 50, 75, 100, 125, 150, 200};
constexpr int32_t kFreq2[] = {100, 150, 200, 250, 300, 400, 500};
constexpr int32_t kFreq3[] = {500, 600, 750, 1000, 1200, 1500, 2000};
constexpr int32_t kFreq4[] = {1000, 1500, 2000, 3000, 4000, 5000, 6000, 7500};
constexpr int32_t kFreq5[] = {7500, 8000, 8500, 9000, 9500, 10000, 11000, 12000};
constexpr int32_t kFreq6[] = {12000, 12500, 13000, 14000, 15000, 17500, 20000};
constexpr int32_t kSpectro0[] = {0, 500, 1000, 2000, 5000, 10000, 18000};
constexpr int32_t kSpectro1[] = {20, 50, 100, 150, 200};
constexpr int32_t kSpectro2[] = {100, 150, 200, 300, 400, 500};
constexpr int32_t kSpectro3[] = {500, 750, 1000, 1500, 2000};
constexpr int32_t kSpectro4[] = {1000, 2000, 3000, 5000, 7500};
constexpr int32_t kSpectro5[] = {7500, 8000, 9000, 10000, 12000};
constexpr int32_t kSpectro6[] = {12000, 13000, 14000, 15000, 17500, 20000};

template <size_t N>
constexpr int Count(const int32_t (&)[N])
{
    return static_cast<int>(N);
}

const int32_t* const kFreqGrids[] = {kFreq0, kFreq1, kFreq2, kFreq3, kFreq4, kFreq5, kFreq6};
const int kFreqCounts[] = {Count(kFreq0), Count(kFreq1), Count(kFreq2), Count(kFreq3),
                           Count(kFreq4), Count(kFreq5), Count(kFreq6)};
const int32_t* const kSpectroGrids[] = {kSpectro0, kSpectro1, kSpectro2, kSpectro3, kSpectro4, kSpectro5, kSpectro6};
const int kSpectroCounts[] = {Count(kSpectro0), Count(kSpectro1), Count(kSpectro2), Count(kSpectro3),
                              Count(kSpectro4), Count(kSpectro5), Count(kSpectro6)};

// Gives each band of the table its grid; false when the table is incomplete.
bool BuildBands(std::vector<ZoomBand>& bands, const int32_t* const* grids, const int* counts)
{
    constexpr int kBandCount = AnalyserLayout::kBandCount;
    try {
        bands.resize(kBandCount);
    } catch (const std::bad_alloc&) {
        bands.clear();
        return false;
    }
    bool complete = true;
    for (int i = 0; i < kBandCount; ++i)
        complete = bands[static_cast<size_t>(i)].SetGrid(grids[i], counts[i]) && complete;
    return complete;
}

}  // namespace

ZoomBandTables::ZoomBandTables(double sampleRate)
{
    BuildBands(freqBands, kFreqGrids, kFreqCounts);
    BuildBands(spectroBands, kSpectroGrids, kSpectroCounts);
    ComputePositions(sampleRate);
}

void ZoomBandTables::ComputePositions(double sampleRate)
{
    for (ZoomBand& band : freqBands) band.ComputePositions(sampleRate, AnalyserLayout::kFreqFrameSize, false);
    for (ZoomBand& band : spectroBands) band.ComputePositions(sampleRate, AnalyserLayout::kSpectroFrameSize, true);
}

const ZoomBand* ZoomBandTables::Freq(int zoom) const
{
    return zoom >= 0 && freqBands.size() > static_cast<size_t>(zoom) ? &freqBands[static_cast<size_t>(zoom)] : nullptr;
}

const ZoomBand* ZoomBandTables::Spectro(int zoom) const
{
    return zoom >= 0 && spectroBands.size() > static_cast<size_t>(zoom) ? &spectroBands[static_cast<size_t>(zoom)]
                                                                        : nullptr;
}
