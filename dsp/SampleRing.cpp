#include "dsp/SampleRing.h"

#include <cstring>

int SampleRing::Append(const double* source, int n)
{
    const int length = items.Size();
    if (n <= 0 || !source || length <= 0) return 0;
    // A block longer than the ring leaves only its newest samples in it.
    if (n > length) {
        source += n - length;
        n = length;
    }
    double* data = items.Data();
    if (writePosition < 0 || writePosition > length) writePosition = 0;
    if (writePosition + n > length) {
        const int first = length - writePosition;
        std::memcpy(data + writePosition, source, sizeof(double) * first);
        std::memcpy(data, source + first, sizeof(double) * (n - first));
        writePosition = n - first;
    } else {
        std::memcpy(data + writePosition, source, sizeof(double) * n);
        writePosition += n;
    }
    return n;
}
