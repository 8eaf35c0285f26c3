#pragma once

#include <cstdint>

// Buttons and modifier keys held during a mouse event.
struct MouseKeys {
    uint8_t left = 0;
    uint8_t right = 0;
    uint8_t shift = 0;
    uint8_t ctrl = 0;
    uint8_t alt = 0;
};
