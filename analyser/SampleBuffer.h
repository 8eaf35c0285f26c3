#pragma once

#include "plugin/GrowableArray.h"

// 64-bit samples with a size: the staging buffers between the audio thread and the view.
using SampleBuffer = GrowableArray<double>;
