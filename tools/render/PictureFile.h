// Pictures as the tool writes them: the editor's pixels, alone or four on a sheet,
// enlarged by whole pixels and stored as RGB PNG files that appear only when complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top first
};

// Copies a window's pixels into the picture at (x, y), which must have room for them.
void PlacePixels(Picture& picture, const std::vector<uint32_t>& pixels, int width, int height, int x, int y);

// Each pixel of picture becomes a factor x factor square of big.
void Enlarge(const Picture& picture, int factor, Picture& big);

// Writes a new file of an unforeseeable name beside path and renames it over path when it is
// complete, so a failure leaves no file behind and nothing laid at a guessable name is
// followed. level is zlib's compression level. durable: the file is on disk before it takes
// the name, so a crash cannot leave an empty picture where an old one was. On failure error
// holds the reason.
bool WritePictureFile(const Picture& picture, const std::string& path, int level, std::string& error,
                      bool durable = false);

// An interrupted run (Ctrl-C, a hang-up, termination) leaves no temporary file behind.
void RemovePartialPicturesOnInterrupt();
