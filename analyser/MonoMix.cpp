#include "analyser/MonoMix.h"

#include "dsp/SampleRing.h"

namespace {

// Where index i lands in a ring of this (positive) length, as SampleRing::At reads it.
int Wrapped(int i, int length)
{
    int r = i % length;
    if (r < 0) r += length;
    return r;
}

}  // namespace

void MixToMono(const SampleRing& left, const SampleRing& right, int from, int count, double* mono)
{
    const int lengthLeft = left.Length(), lengthRight = right.Length();
    if (lengthLeft <= 0 || lengthRight <= 0) {
        for (int i = 0; i < count; ++i) mono[i] = (right.At(from + i) + left.At(from + i)) * 0.5;
        return;
    }
    for (int i = 0; i < count;) {
        const int jl = Wrapped(from + i, lengthLeft), jr = Wrapped(from + i, lengthRight);
        int run = count - i;
        if (lengthLeft - jl < run) run = lengthLeft - jl;
        if (lengthRight - jr < run) run = lengthRight - jr;
        const double* l = left.Data() + jl;
        const double* r = right.Data() + jr;
        double* out = mono + i;
        for (int k = 0; k < run; ++k) out[k] = (r[k] + l[k]) * 0.5;
        i += run;
    }
}
