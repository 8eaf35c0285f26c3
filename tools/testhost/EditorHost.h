// A host's editor frame: a top-level window the plug-in's editor opens in, audio fed from a
// timer while messages are pumped, and the editor's pixels read back from the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/testhost/PluginInstance.h"

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top first
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Whether any pixel of [left, right) x [top, bottom) differs from `other`'s.
    bool DiffersIn(const Capture& other, int left, int top, int right, int bottom) const;
};

class EditorHost {
public:
    // Sample n of the audio fed to both inputs, counted from the first block.
    using Signal = std::function<void(long n, float& left, float& right)>;

    explicit EditorHost(PluginInstance& plugin);
    ~EditorHost();
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    HWND Frame() const { return frame; }
    // Resizes the frame so that its client area is w x h, as a host makes room for an editor.
    void SizeFrameClient(int w, int h);
    // The editor window of the class "VireoWndClass": our frame's child, or a window the
    // frame owns (floating mode); null when none.
    HWND Editor() const;
    // Runs the thread's message loop for about `ms` milliseconds; an editor host's audio timer
    // feeds a block every 10 ms meanwhile.
    static void Pump(DWORD ms);
    void FeedAudio(bool on) { feeding = on; }
    // What the audio timer plays from its next block on; an empty signal restores the
    // default pair of tones.
    void SetSignal(Signal s) { signal = std::move(s); }
    long BlocksFed() const { return blocks; }
    // The editor's client area as it is on the screen.
    bool CaptureEditor(Capture& capture) const;

    static bool WritePng(const Capture& capture, const std::string& path);

private:
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void FeedBlock();

    PluginInstance& plugin;
    HWND frame = nullptr;
    bool feeding = true;
    long blocks = 0;
    Signal signal;
    std::vector<float> in[2], out[2];
};

// A window's title as the user sees it (at most 255 characters).
inline std::string TitleOf(HWND hwnd)
{
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// A client-area point as mouse messages carry it.
inline LPARAM Point(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}
