// A saved state given with --state: the chunk bytes as a host stores them in its project,
// or a VST preset (.fxp) or bank (.fxb) file that a host exported from this plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StateFile {
    std::vector<uint8_t> chunk;      // for the host's chunk request; empty for a parameter preset
    bool programChunk = false;       // a preset's chunk rather than a bank's
    std::vector<float> parameters;   // normalized values of a parameter preset, in index order

    // False with the reason when the file cannot be read or is not a state of the plug-in
    // with this unique ID.
    bool Read(const std::string& path, int32_t uniqueId, std::string& error);
};
