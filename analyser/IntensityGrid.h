// The persistence picture of the phase and spectro displays: one column of intensities per
// pixel column of the view.
#pragma once

#include <vector>

#include "analyser/FloatArray.h"

class IntensityGrid {
public:
    // Every column, old and new, is sized to rows; answers false when an allocation failed
    // (that column is then left with a count of 0).
    bool Resize(int columns, int rows, bool zero);
    void Clear();

    int Columns() const { return static_cast<int>(columns.size()); }
    FloatArray& Column(int i) { return columns[static_cast<size_t>(i)]; }
    const FloatArray& Column(int i) const { return columns[static_cast<size_t>(i)]; }

private:
    std::vector<FloatArray> columns;
};
