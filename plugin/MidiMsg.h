#pragma once

#include <cstdint>

// A short MIDI message as the host delivered it.
struct MidiMsg {
    int32_t offset = 0;  // frames into the block
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
