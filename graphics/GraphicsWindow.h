// Chooses the platform's window layer, the middle of the three layers of the graphics
// object: the raster layer derives from whichever this names.
#pragma once

#ifdef _WIN32
#include "graphics/win32/Win32Window.h"
using GraphicsWindow = Win32Window;
#elif defined(QUILLOGRAPH_X11_WINDOW)
// The LV2 bundle's editor: a real window on the X server.
#include "graphics/x11/X11Window.h"
using GraphicsWindow = X11Window;
#else
#include "graphics/native/HeadlessWindow.h"
using GraphicsWindow = HeadlessWindow;
#endif
