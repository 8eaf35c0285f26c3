// Chooses the platform's window layer, the middle of the three layers of the graphics
// object: the raster layer derives from whichever this names.
#pragma once

#ifdef _WIN32
#include "graphics/win32/Win32Window.h"
using GraphicsWindow = Win32Window;
#else
#include "graphics/native/HeadlessWindow.h"
using GraphicsWindow = HeadlessWindow;
#endif
