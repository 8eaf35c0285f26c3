#include "analyser/ZoomBand.h"

#include "dsp/SpectrumEstimator.h"

bool ZoomBand::SetGrid(const int32_t* frequencies, int count)
{
    if (!frequencies || count <= 0 || !gridFrequencies.Resize(count, false) || !gridPositions.Resize(count, true)) {
        gridFrequencies.Resize(0, false);
        gridPositions.Resize(0, false);
        lowFrequency = highFrequency = 0.0;
        return false;
    }
    for (int i = 0; i < count; ++i) gridFrequencies[i] = frequencies[i];
    lowFrequency = frequencies[0];
    highFrequency = frequencies[count - 1];
    return true;
}

void ZoomBand::ComputePositions(double sampleRate, int fftSize, bool flip)
{
    lowColumn = FrequencyToIndex(lowFrequency, sampleRate, fftSize, true);
    highColumn = FrequencyToIndex(highFrequency, sampleRate, fftSize, true);
    // A band above the Nyquist frequency collapses onto the top column: keep the positions
    // finite rather than dividing by a zero span.
    const int32_t span = highColumn > lowColumn ? highColumn - lowColumn : 1;
    const int count = gridPositions.Size() < gridFrequencies.Size() ? gridPositions.Size() : gridFrequencies.Size();
    for (int i = 0; i < count; ++i) {
        const int32_t column = FrequencyToIndex(gridFrequencies[i], sampleRate, fftSize, true);
        const float numerator = static_cast<float>(column - lowColumn) + 0.5f;
        float position = numerator / static_cast<float>(span);
        if (flip) position = 1.0f - position;
        gridPositions[i] = position;
    }
}
