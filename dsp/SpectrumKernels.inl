// Plain loops that each instruction set's file compiles with its own vector width. No
// multiply and add may fuse (the files are built without contraction), and the loops only
// reorder independent elements, never the operations on one.
#include <cmath>

#include "dsp/SpectrumKernels.h"

namespace {

void KernelMagnitudes(const Complex* x, const int* positions, const int* bins, int count, double scale,
                      double* out)
{
    // The reads go up through the transform's output, which is far larger than the result:
    // scattering into the small result costs less than gathering from the large one.
    const double* const parts = &x[0].re;
    for (int i = 0; i < count; ++i) {
        const double re = parts[2 * positions[i]], im = parts[2 * positions[i] + 1];
        out[bins[i]] = (re * re + im * im) * scale;
    }
    for (int i = 0; i < count; ++i) out[i] = std::sqrt(out[i]);
}

}  // namespace
