// vst_test_host: loads a VST 2.x plug-in DLL by path and drives it as a DAW does.
//   vst_test_host.exe [--checks | --demo | --editor | --displays | --state | --host-services | --hidpi | --torture]
//                     [--png FILE] [--vendor TEXT] [--product TEXT] [--rounds N] [--verbose] PLUGIN.dll
// --editor opens the editor in a window of its own; --png writes the editor as it was on
// screen (in the editor checks and the demo). --displays checks what each display shows on
// screen for known signals; there --png is the prefix of one picture per display. --state
// checks the state chunk a project stores (with the window section when posing as REAPER).
// --hidpi checks the editor on a screen of 192 DPI, which --set-dpi DPI (without a plug-in)
// stores for the Wine processes that follow.
// --state-exchange IN OUT loads the chunk in file IN (- for a made-up one) and writes the chunk
// then saved to OUT, so that two builds can be shown to read each other's state.
// --host-services checks the host's own services as host id 1 offers them (posing as one
// with --product REAPER), or that any other host is never asked for them.
// --torture drives 16 instances from 4 audio threads and the editor thread at once for
// --rounds rounds (400 by default).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "tools/testhost/Demo.h"
#include "tools/testhost/DisplayChecks.h"
#include "tools/testhost/EditorChecks.h"
#include "tools/testhost/HiDpiChecks.h"
#include "tools/testhost/HostLog.h"
#include "tools/testhost/HostServiceChecks.h"
#include "tools/testhost/PluginChecks.h"
#include "tools/testhost/StateChecks.h"
#include "tools/testhost/TortureRun.h"

// Unix paths from the build tree reach Windows through Wine's Z: drive.
static std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

int main(int argc, char** argv)
{
    std::string mode = "--checks";
    std::string vendor = "Quillograph";
    std::string product = "Test Host";
    std::string dll;
    std::string png;
    std::string stateIn, stateOut;
    int dpi = 0;
    bool verbose = false;
    int rounds = 400;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--vendor" || arg == "--product") && i + 1 < argc)
            (arg == "--vendor" ? vendor : product) = argv[++i];
        else if (arg == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (arg == "--state-exchange" && i + 2 < argc) {
            mode = arg;
            stateIn = argv[++i];
            stateOut = argv[++i];
        }
        else if (arg == "--set-dpi" && i + 1 < argc) {
            mode = arg;
            dpi = std::atoi(argv[++i]);
        }
        else if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (arg == "--checks" || arg == "--demo" || arg == "--editor" || arg == "--displays" || arg == "--state" ||
                 arg == "--host-services" || arg == "--hidpi" || arg == "--torture")
            mode = arg;
        else if (arg == "--verbose")
            verbose = true;
        else
            dll = arg;
    }
    if (dll.empty() && mode != "--set-dpi") {
        std::fprintf(stderr, "usage: vst_test_host [--checks|--demo|--editor|--displays|--state|--host-services|--hidpi|--torture] [--png FILE] [--vendor V] [--product P] [--rounds N] [--verbose] PLUGIN.dll\n");
        return 2;
    }
    HostLog::Configure(vendor, product, verbose);
    if (mode == "--set-dpi") {
        Report report;
        const bool stored = StoreScreenDpi(dpi, report);
        report.Summary();
        return stored ? 0 : 1;
    }
    std::string lower = product;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool posesAsHostOne = lower.find("reaper") != std::string::npos;

    Report report;
    const std::string path = WindowsPath(dll);
    HMODULE library = LoadLibraryA(path.c_str());
    if (!report.Check(library != nullptr, "LoadLibrary " + path)) {
        report.Summary();
        return 1;
    }
    PluginModule module;
    module.vstPluginMain = reinterpret_cast<PluginEntry>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
    module.main = reinterpret_cast<PluginEntry>(reinterpret_cast<void*>(GetProcAddress(library, "main")));
    if (report.Check(module.Entry() != nullptr, "an entry point (VSTPluginMain or main) is exported")) {
        if (mode == "--demo") {
            RunDemo(module, report);
            if (!png.empty()) CaptureEditorPng(module, WindowsPath(png), report);
        } else if (mode == "--hidpi") {
            RunHiDpiChecks(module, report);
        } else if (mode == "--editor") {
            RunEditorChecks(module, library, png.empty() ? std::string() : WindowsPath(png), report);
        } else if (mode == "--host-services") {
            RunHostServiceChecks(module, posesAsHostOne, report);
        } else if (mode == "--torture") {
            RunTorture(module, rounds, report);
        } else if (mode == "--displays") {
            RunDisplayChecks(module, png.empty() ? std::string() : WindowsPath(png), report);
        } else if (mode == "--state") {
            RunStateChecks(module, posesAsHostOne, report);
        } else if (mode == "--state-exchange") {
            ExchangeStateFile(module, posesAsHostOne, stateIn == "-" ? std::string() : WindowsPath(stateIn),
                              WindowsPath(stateOut), report);
        } else {
            RunPluginChecks(module, report);
        }
    }
    FreeLibrary(library);
    report.Summary();
    return report.Failed() == 0 ? 0 : 1;
}
