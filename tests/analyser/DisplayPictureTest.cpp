#include "tests/analyser/DisplayTestSupport.h"

#include <cstdint>

#include "tests/GermanLocale.h"
#include "tests/PictureExpectation.h"

namespace {

constexpr double kRate = 48000.0;

// A major triad spread across the stereo image: the root leans left, the fifth right.
Signal Chord()
{
    return [](long n, double& l, double& r) {
        const double t = static_cast<double>(n) / kRate;
        const double a = std::sin(2 * kPi * 220.0 * t), b = std::sin(2 * kPi * 277.18 * t),
                     c = std::sin(2 * kPi * 329.63 * t);
        l = 0.25 * (a + 0.7 * b + 0.3 * c);
        r = 0.25 * (0.3 * a + 0.7 * b + c);
    };
}

// 50 Hz to 15 kHz over each half second, exponentially.
Signal Sweep()
{
    return [](long n, double& l, double& r) {
        const double span = 24000.0, ratio = 15000.0 / 50.0;
        const double t = static_cast<double>(n % 24000) / span;
        const double phase = 2 * kPi * 50.0 * span / kRate * (std::pow(ratio, t) - 1.0) / std::log(ratio);
        l = r = 0.5 * std::sin(phase);
    };
}

// Noise with a falling spectrum, partly correlated between the channels; the same every run.
Signal PinkishNoise()
{
    struct State {
        uint32_t seed = 12345;
        double a = 0, b = 0, c = 0, d = 0;
        double White()
        {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        }
    };
    auto state = std::make_shared<State>();
    return [state](long, double& l, double& r) {
        State& s = *state;
        const double w = s.White();
        s.a = 0.99 * s.a + 0.1 * w;
        s.b = 0.9 * s.b + 0.2 * w;
        s.c = 0.5 * s.c + 0.3 * w;
        l = 0.5 * (s.a + s.b + s.c);
        s.d = 0.9 * s.d + 0.2 * s.White();
        r = 0.6 * l + 0.5 * s.d;
    };
}

Signal PannedTone() { return Sine(1000.0, 0.6, kRate, 1.0, 0.0); }

struct PictureCase {
    const char* name;
    Signal (*signal)();
};

const PictureCase kSignals[] = {
    {"chord", Chord}, {"sweep", Sweep}, {"noise", PinkishNoise}, {"panned", PannedTone}};
const char* const kDomains[] = {"time", "freq", "phase", "spectro"};

// The picture of a display after a second of the signal; the drawn one is written to actualDir.
void ExpectDisplayPicture(int domain, const PictureCase& c, const std::string& actualDir = QUILLOGRAPH_ACTUAL_DIR)
{
    const std::string name = std::string(kDomains[domain]) + "_" + c.name;
    SCOPED_TRACE(name);
    Editor e(kRate);
    const bool lowBand = c.signal == Chord;
    const Signal signal = c.signal();
    ASSERT_TRUE(e.ShowHistory(domain, signal, 1.0, lowBand ? 2 : 0));
    // A second half second scrolls the spectrogram across and lets the spectrum settle.
    e.Play(signal, 24000);
    ASSERT_TRUE(e.Tick());
    for (int i = 0; i < 3; ++i) e.Redraw();
    ExpectStoredPicture(e.Picture(), QUILLOGRAPH_EXPECTED_DIR, actualDir, name);
}

}  // namespace

// Each display of each signal, pixel for pixel as it was once looked at and judged right.
TEST(DisplayPictures, EveryDisplayOfEverySignal)
{
    for (int domain = 0; domain < 4; ++domain)
        for (const PictureCase& c : kSignals) ExpectDisplayPicture(domain, c);
}

// A host that runs in a locale with a decimal comma sees the same captions and labels.
TEST(DisplayPictures, TheSameInAGermanHost)
{
    GermanLocale german;
    SKIP_WITHOUT_GERMAN_LOCALE(german);
    ExpectDisplayPicture(1, kSignals[0], QUILLOGRAPH_ACTUAL_DIR "-de_DE");
}
