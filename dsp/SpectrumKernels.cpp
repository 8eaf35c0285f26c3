// The kernels for the target's baseline instruction set, and the choice among the builds.
#include "dsp/SpectrumKernels.inl"

#include "dsp/FftTables.h"

const SpectrumKernels kSpectrumKernelsPortable = {KernelMagnitudes, KernelLogMap};

const SpectrumKernels* SpectrumKernelsFor(int set)
{
    if (!FftKernelFor(set)) return nullptr;
#if defined(QUILLOGRAPH_FFT_X86_KERNELS)
    if (set >= kFftAvx512) return &kSpectrumKernelsAvx512;
    if (set >= kFftAvx2) return &kSpectrumKernelsAvx2;
#endif
    return &kSpectrumKernelsPortable;
}

const SpectrumKernels& BestSpectrumKernels()
{
    static const SpectrumKernels* const best = [] {
        for (int set = kFftInstructionSetCount - 1; set > 0; --set)
            if (const SpectrumKernels* kernels = SpectrumKernelsFor(set)) return kernels;
        return &kSpectrumKernelsPortable;
    }();
    return *best;
}
