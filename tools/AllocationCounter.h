// Counts heap allocations while armed, for tests and benchmarks that must show a path
// allocates nothing, and can make every allocation fail, for tests that must show a path
// survives that. Linking AllocationCounter.cpp replaces every form of new and delete.
#pragma once

namespace AllocationCounter {
void Start();   // resets the count and arms the counter
long Stop();    // disarms it and answers the allocations seen since Start
void StartFailing();  // like Start, and every allocation fails until Stop
}
