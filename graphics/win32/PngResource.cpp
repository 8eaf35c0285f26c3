#include <windows.h>

#include "graphics/PngLoader.h"

Surface* LoadPngResource(void* module, int32_t id, Surface* dest)
{
    // Resource ids are 16 bits; a wider id would silently name a different resource.
    if (id < 0 || id > 0xFFFF) return nullptr;
    HMODULE handle = static_cast<HMODULE>(module);
    HRSRC found = FindResourceA(handle, MAKEINTRESOURCEA(id), "PNG");
    if (!found) return nullptr;
    const DWORD size = SizeofResource(handle, found);
    if (size < 8) return nullptr;
    HGLOBAL loaded = LoadResource(handle, found);
    if (!loaded) return nullptr;
    const void* data = LockResource(loaded);
    if (!data) return nullptr;
    return DecodePng(data, size, dest);
}
