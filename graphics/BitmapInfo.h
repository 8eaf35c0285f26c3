#pragma once

#include <cstdint>

// An image of the editor's image cache; frames are stacked vertically.
struct BitmapInfo {
    int32_t id = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 1;
};
