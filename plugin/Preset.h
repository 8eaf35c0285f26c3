#pragma once

#include <string>
#include <vector>

// A stored set of parameter values, one per parameter.
struct Preset {
    std::string name;
    std::vector<double> values;
};
