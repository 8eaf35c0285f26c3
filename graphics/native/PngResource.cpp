#include "graphics/PngLoader.h"

// A native build carries no image resources: every id is missing.
Surface* LoadPngResource(void*, int32_t, Surface*)
{
    return nullptr;
}
