// The mono signal the frequency displays analyse: the mean of the two history rings.
#pragma once

class SampleRing;

// mono[i] = (right.At(from + i) + left.At(from + i)) * 0.5 for count samples, taken a
// stretch at a time between the places where either ring wraps.
void MixToMono(const SampleRing& left, const SampleRing& right, int from, int count, double* mono);
