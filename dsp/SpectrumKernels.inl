// Plain loops that each instruction set's file compiles with its own vector width. No
// multiply and add may fuse (the files are built without contraction), and the loops only
// reorder independent elements, never the operations on one.
#include <cmath>

#include "dsp/SpectrumKernels.h"

namespace {

void KernelWindow(const double* in, const double* window, double limit, Complex* x, int n)
{
    for (int i = 0; i < n; ++i) {
        const double s = in[i];
        const double held = s >= -limit && s <= limit ? s : s > limit ? limit : s < -limit ? -limit : 0.0;
        x[i].re = held * window[i];
        x[i].im = 0.0;
    }
}

void KernelMagnitudes(const Complex* x, const int* order, int count, double scale, double* out)
{
    for (int i = 0; i < count; ++i) {
        const Complex& v = x[order[i]];
        out[i] = (v.re * v.re + v.im * v.im) * scale;
    }
    for (int i = 0; i < count; ++i) out[i] = std::sqrt(out[i]);
}

}  // namespace
