// The GDI font a TextStyle names: face, cell height, weight, italics and orientation.
#pragma once

#include "graphics/TextStyle.h"

// An HFONT the caller deletes, or null.
void* CreateStyleFont(const TextStyle& style);
