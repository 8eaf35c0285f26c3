// A fixed-length ring of 64-bit samples with a write position: the view's history of each
// channel, and the spectrum estimator's input block. Displays read it backwards from the
// write position.
#pragma once

#include "plugin/GrowableArray.h"

class SampleRing {
public:
    // The write position is left alone; the owner resets it after a resize.
    bool Resize(int n, bool zero) { return items.Resize(n, zero); }

    int Length() const { return items.Size(); }
    int WritePosition() const { return writePosition; }
    void SetWritePosition(int position) { writePosition = position; }

    // Wrapping access: -1 is the last element.
    double At(int i) const
    {
        const int length = items.Size();
        // Displays read within one turn of the ring: no division for those.
        if (static_cast<unsigned>(i) < static_cast<unsigned>(length)) return items[i];
        if (length <= 0) return 0.0;
        if (i < 0 && i >= -length) return items[i + length];
        int r = i % length;
        if (r < 0) r += length;
        return items[r];
    }

    double* Data() { return items.Data(); }
    const double* Data() const { return items.Data(); }

    int Append(const double* source, int n);

private:
    GrowableArray<double> items;
    int writePosition = 0;
};
