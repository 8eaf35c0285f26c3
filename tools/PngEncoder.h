// The one PNG writer of the native tools: 8-bit RGB or RGBA rows from packed 0xAARRGGBB pixels.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// rowAt(y) gives row y's width pixels. level is zlib's 0..9, or -1 for libpng's default; levels
// 1 to 3 also choose the settings that suit many pictures written fast. False when libpng fails.
bool EncodePng(FILE* file, int32_t width, int32_t height, bool alpha, int level,
               const std::function<const uint32_t*(int32_t y)>& rowAt);
