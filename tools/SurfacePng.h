// Writing surfaces to PNG files and reading them back, so that pictures can be looked at and
// kept as expected images. Native only.
#pragma once

#include <memory>
#include <string>

#include "graphics/MemorySurface.h"

// Writes every pixel as 8-bit RGBA (alpha as stored). False when the file cannot be written
// or the surface has no pixels.
bool WriteSurfacePng(const Surface& surface, const std::string& path);

// Reads a PNG file into a new surface; null when it is missing or undecodable.
std::unique_ptr<Surface> ReadSurfacePng(const std::string& path);
