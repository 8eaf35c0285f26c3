#include "analyser/IntensityGrid.h"

#include <cstring>
#include <new>

bool IntensityGrid::Resize(int count, int rows, bool zero)
{
    if (count < 0) count = 0;
    try {
        columns.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        columns.clear();
        return false;
    }
    bool complete = true;
    for (FloatArray& column : columns) complete = column.Resize(rows, zero) && complete;
    return complete;
}

void IntensityGrid::Clear()
{
    for (FloatArray& column : columns)
        if (column.Data()) std::memset(column.Data(), 0, sizeof(float) * static_cast<size_t>(column.Size()));
}
