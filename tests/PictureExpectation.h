// Comparing a drawn surface with a stored expected picture, pixel for pixel. The drawn one is
// always written beside the build so that a failure, or a missing picture, can be looked at.
#pragma once

#include <string>

#include "graphics/Surface.h"

void ExpectStoredPicture(const Surface& s, const std::string& expectedDir, const std::string& actualDir,
                         const std::string& name);
