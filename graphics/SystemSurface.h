// The editor's off-screen surface. In the DLL a top-down 32-bit DIB section selected into a
// memory device context (what text is drawn on and what the paint copies to the window);
// natively a zero-initialised memory block with the same behaviour.
#pragma once

#include "graphics/Surface.h"

class SystemSurface final : public Surface {
public:
    SystemSurface(int32_t width, int32_t height);
    ~SystemSurface() override;

    // A new section starts cleared; an empty or impossible size keeps the old section and
    // size and reports no change.
    bool resize(int32_t width, int32_t height) override;

    // The memory device context (an HDC) in the DLL; null natively.
    void* deviceContext() const { return dc; }

private:
    void* dc = nullptr;
    void* section = nullptr;
    void* previous = nullptr;
};
