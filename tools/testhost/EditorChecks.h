#pragma once

#include <windows.h>

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Opens the editor in a window of our own as a DAW does, with audio running, real mouse
// input and screen captures, and reports each check. The first capture is written to
// `pngPath` when it is not empty.
void RunEditorChecks(const PluginModule& module, HMODULE library, const std::string& pngPath, Report& report);

// Opens the editor with audio running for a moment and writes what is on the screen to
// `pngPath`; true when the picture was written.
bool CaptureEditorPng(const PluginModule& module, const std::string& pngPath, Report& report);
