// The host side shared by the fuzz targets: a callback that answers as a plain DAW or as
// host id 1, and instances made and driven through the published record only.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/Vst2Abi.h"

class HeadlessWindow;
class PluginCore;

namespace FuzzHost {

enum Kind { kPlainHost = 0, kHostOne = 1 };

// Makes an instance through the entry point, the host posing as `kind`.
AEffect* MakeInstance(Kind kind);
// effOpen, sample rate, block size and resume, as every host starts.
void Start(AEffect* effect);
void Close(AEffect* effect);

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f);

// Behind the record, for what a host would see on screen.
PluginCore* Core(AEffect* effect);
HeadlessWindow* Window(AEffect* effect);

// The instance's state as effGetChunk answers it; empty when it answers 0.
std::vector<uint8_t> SaveChunk(AEffect* effect);

// What host id 1's own functions answer from now on: the transport state, whether the
// functions are offered at all, and whether the main window handle names a window. Forgets
// every window and posted command of the native window tree.
void SetHostFunctions(int playState, bool offered, bool mainIsWindow);

// A finding: the harness stops the run as a crash would.
[[noreturn]] void Fail(const char* what);

}  // namespace FuzzHost
