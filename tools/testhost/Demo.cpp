#include "tools/testhost/Demo.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/testhost/PluginInstance.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Levels {
    double peak = 0.0;
    double sumSquares = 0.0;
    long count = 0;
    void Add(const float* samples, int n)
    {
        for (int i = 0; i < n; ++i) {
            peak = std::fmax(peak, std::fabs(samples[i]));
            sumSquares += double(samples[i]) * samples[i];
        }
        count += n;
    }
    double Rms() const { return count ? std::sqrt(sumSquares / count) : 0.0; }
};

}  // namespace

void RunDemo(const PluginModule& module, Report& report)
{
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    std::printf("plug-in: %s by %s, unique ID %c%c%c%c, version %d, flags 0x%x\n", p.Text(effGetEffectName).c_str(),
                p.Text(effGetVendorString).c_str(), char(p->uniqueID >> 24), char(p->uniqueID >> 16),
                char(p->uniqueID >> 8), char(p->uniqueID), static_cast<int>(p->version), static_cast<unsigned>(p->flags));
    std::printf("audio: %d in, %d out; %d parameters, %d programs\n", static_cast<int>(p->numInputs),
                static_cast<int>(p->numOutputs), static_cast<int>(p->numParams), static_cast<int>(p->numPrograms));

    const double rate = 44100.0;
    const int block = 512;
    p.Dispatch(effOpen);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    p.Dispatch(effSetBlockSize, 0, block);
    p.Dispatch(effMainsChanged, 0, 1);

    for (int i = 0; i < p->numParams; ++i)
        std::printf("parameter %d: %-8s = %s %s (normalized %.4f)\n", i, p.Text(effGetParamName, i).c_str(),
                    p.Text(effGetParamDisplay, i).c_str(), p.Text(effGetParamLabel, i).c_str(),
                    static_cast<double>(p->getParameter(p.get(), i)));

    // Two seconds of a test signal: a 440 Hz tone on the left, a 660 Hz tone fading in on
    // the right, and a little noise on both.
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    Levels in[2], out[2];
    bool identical = true;
    unsigned noise = 12345;
    const long total = static_cast<long>(2 * rate);
    for (long start = 0; start < total; start += block) {
        for (int i = 0; i < block; ++i) {
            const double t = (start + i) / rate;
            noise = noise * 1664525u + 1013904223u;
            const double hiss = ((noise >> 9) / double(1 << 23) - 0.5) * 0.02;
            inLeft[i] = static_cast<float>(0.5 * std::sin(2 * kPi * 440 * t) + hiss);
            inRight[i] = static_cast<float>(0.5 * std::fmin(1.0, t) * std::sin(2 * kPi * 660 * t) - hiss);
        }
        p->processReplacing(p.get(), inputs, outputs, block);
        identical = identical && inLeft == outLeft && inRight == outRight;
        in[0].Add(inLeft.data(), block);
        in[1].Add(inRight.data(), block);
        out[0].Add(outLeft.data(), block);
        out[1].Add(outRight.data(), block);
    }
    for (int c = 0; c < 2; ++c)
        std::printf("%s: in peak %.4f rms %.4f, out peak %.4f rms %.4f\n", c ? "right" : "left", in[c].peak, in[c].Rms(),
                    out[c].peak, out[c].Rms());
    report.Check(identical, "two seconds of stereo audio passed through unchanged");

    p.Dispatch(effMainsChanged, 0, 0);
    std::printf("host callback saw %u calls (%u automation, %u events)\n",
                static_cast<unsigned>(HostLog::Calls().size()), static_cast<unsigned>(HostLog::Count(audioMasterAutomate)),
                static_cast<unsigned>(HostLog::Count(audioMasterProcessEvents)));
}
