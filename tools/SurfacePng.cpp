#include "tools/SurfacePng.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "graphics/PngLoader.h"
#include "tools/PngEncoder.h"

bool WriteSurfacePng(const Surface& surface, const std::string& path)
{
    if (!HasPixels(surface)) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = EncodePng(file, surface.width(), surface.height(), true, -1,
                                   [&](int32_t y) { return SurfaceRow(surface, y); });
    return std::fclose(file) == 0 && written;
}

std::unique_ptr<Surface> ReadSurfacePng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    const std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::unique_ptr<Surface>(DecodePng(data.data(), data.size(), nullptr));
}
