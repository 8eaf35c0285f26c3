#include "tools/testhost/HiDpiChecks.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "tools/testhost/EditorHost.h"
#include "tools/testhost/HostLog.h"
#include "tools/testhost/PluginInstance.h"

namespace {

constexpr DWORD kTimerPeriod = 41;
constexpr int W = 232, H = 96;

EditorHost* sizingHost = nullptr;
bool giveRoom = true;

VstIntPtr SizeFrame(int width, int height)
{
    if (!giveRoom || !sizingHost || width <= 0 || height <= 0) return 0;
    sizingHost->SizeFrameClient(width, height);
    return 1;
}

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

std::pair<int, int> EditRect(PluginInstance& p)
{
    ERect* r = nullptr;
    if (p.Dispatch(effEditGetRect, 0, 0, &r) != 1 || !r) return {0, 0};
    return {r->right - r->left, r->bottom - r->top};
}

std::pair<int, int> ClientOf(HWND hwnd)
{
    RECT r = {};
    GetClientRect(hwnd, &r);
    return {r.right, r.bottom};
}

void Click(HWND editor, int x, int y, WPARAM keys)
{
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON | keys, Point(x, y));
    SendMessageA(editor, WM_LBUTTONUP, keys, Point(x, y));
}

// The last size request the host saw, or {0, 0}.
std::pair<int, int> LastSizeRequest()
{
    const auto& calls = HostLog::Calls();
    for (auto call = calls.rbegin(); call != calls.rend(); ++call)
        if (call->opcode == audioMasterSizeWindow) return {call->index, static_cast<int>(call->value)};
    return {0, 0};
}

// Whether `big` is `small` with every pixel a scale x scale block, black beyond it; the
// first difference is noted.
std::string blockDifference;
bool IsBlocksOf(const Capture& big, const Capture& small, int scale)
{
    blockDifference = "sizes " + Size(big.width, big.height) + " and " + Size(small.width, small.height);
    if (big.width < small.width * scale || big.height < small.height * scale) return false;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) {
            const bool inside = x < small.width * scale && y < small.height * scale;
            const uint32_t expected = inside ? small.At(x / scale, y / scale) : 0u;
            if (big.At(x, y) != expected) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel %d,%d is %06X, not %06X", x, y, big.At(x, y), expected);
                blockDifference = text;
                return false;
            }
        }
    blockDifference.clear();
    return true;
}

}  // namespace

bool StoreScreenDpi(int dpi, Report& report)
{
    const DWORD value = static_cast<DWORD>(dpi);
    bool ok = true;
    // Wine looks in both places.
    for (auto key : {std::make_pair(HKEY_CURRENT_USER, "Control Panel\\Desktop"),
                     std::make_pair(HKEY_CURRENT_CONFIG, "Software\\Fonts")}) {
        HKEY k = nullptr;
        ok = RegCreateKeyExA(key.first, key.second, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) == ERROR_SUCCESS &&
             RegSetValueExA(k, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                 ERROR_SUCCESS &&
             ok;
        if (k) RegCloseKey(k);
    }
    return report.Check(ok, "the screen is set to " + std::to_string(dpi) + " DPI for the next processes");
}

void RunHiDpiChecks(const PluginModule& module, Report& report)
{
    // As a DPI-aware host: per monitor where the system offers it, else for the system.
    using AwarenessContext = BOOL(WINAPI*)(HANDLE);
    const auto perMonitor = reinterpret_cast<AwarenessContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
    if (!perMonitor || !perMonitor(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (!report.Check(dpi == 192, "the screen has 192 DPI (" + std::to_string(dpi) + ")")) return;

    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    p.Start();
    EditorHost host(p);
    sizingHost = &host;
    HostLog::SetSizeWindowHandler(SizeFrame);

    const auto rect = EditRect(p);
    report.Check(rect == std::make_pair(2 * W, 2 * H), "effEditGetRect answers " + Size(rect.first, rect.second));
    host.SizeFrameClient(rect.first, rect.second);
    report.Check(p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1, "the editor opens");
    HWND editor = host.Editor();
    if (editor && GetParent(editor) != host.Frame()) {
        // Floating (host id 1): the window is ours to resize, and the host is never asked.
        const auto outer = [&] {
            RECT r = {};
            GetWindowRect(editor, &r);
            return std::make_pair(static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
        };
        report.Check(outer() == std::make_pair(2 * W + 6, 2 * H + 23),
                     "a floating window of " + Size(outer().first, outer().second) + " with its frame");
        HostLog::Clear();
        Click(editor, 2 * 224, 2 * 88, MK_CONTROL);
        host.Pump(kTimerPeriod * 2);
        report.Check(outer() == std::make_pair(W + 6, H + 23) && HostLog::Count(audioMasterSizeWindow) == 0 &&
                         EditRect(p) == std::make_pair(W, H),
                     "ctrl + click in the corner makes it " + Size(outer().first, outer().second) + " by itself");
    } else if (!report.Check(editor && ClientOf(editor) == rect,
                             "its window is " + Size(ClientOf(editor).first, ClientOf(editor).second))) {
        return;
    }
    if (GetParent(editor) != host.Frame()) {
        HostLog::SetSizeWindowHandler(nullptr);
        sizingHost = nullptr;
        report.Check(p.Dispatch(effEditClose) == 1 && !IsWindow(editor), "the editor closes");
        return;
    }
    host.Pump(600);

    // A click in the middle of the doubled picture toggles pause, as in the middle at 1x.
    Click(editor, W, H, 0);
    report.Check(p->getParameter(p.get(), 3) == 1.0f, "a click in the middle pauses the display");
    // From here on nothing redraws the display: every capture shows the same surface.
    host.FeedAudio(false);
    host.Pump(kTimerPeriod * 4);
    Capture doubled;
    const bool captured = host.CaptureEditor(doubled) && doubled.width == 2 * W && doubled.height == 2 * H;
    report.Check(captured, "the client area is captured at " + Size(doubled.width, doubled.height));

    // Ctrl + click in the corner square: automatic (2x here) -> 1x, the host asked for room.
    HostLog::Clear();
    Click(editor, 2 * 224, 2 * 88, MK_CONTROL);
    host.Pump(kTimerPeriod * 2);
    report.Check(LastSizeRequest() == std::make_pair(W, H) && ClientOf(editor) == std::make_pair(W, H) &&
                     EditRect(p) == std::make_pair(W, H),
                 "ctrl + click in the corner asks the host for 232 x 96 and the editor takes it");
    report.Check(p->getParameter(p.get(), 3) == 1.0f, "the ctrl + click does not reach the display");
    Capture single;
    bool same = host.CaptureEditor(single) && IsBlocksOf(doubled, single, 2);
    report.Check(same, "the picture at 192 DPI is the 1x picture with every pixel doubled " + blockDifference);

    bool cycled = true;
    for (int s : {2, 3, 4, 2}) {
        const int corner = ClientOf(editor).first / W;
        Click(editor, corner * 224, corner * 88, MK_CONTROL);
        host.Pump(kTimerPeriod * 2);
        cycled = cycled && LastSizeRequest() == std::make_pair(s * W, s * H) &&
                 ClientOf(editor) == std::make_pair(s * W, s * H) && EditRect(p) == std::make_pair(s * W, s * H);
    }
    report.Check(cycled, "further ctrl + clicks cycle 2x, 3x, 4x and back to automatic, each size asked of the host");

    // A host that refuses: the old size stays, with the largest picture that fits in it.
    giveRoom = false;
    const size_t asked = HostLog::Count(audioMasterSizeWindow);
    Click(editor, 2 * 224, 2 * 88, MK_CONTROL);  // 1x
    host.Pump(kTimerPeriod * 2);
    Capture corner;
    same = HostLog::Count(audioMasterSizeWindow) == asked + 1 && ClientOf(editor) == std::make_pair(2 * W, 2 * H) &&
           host.CaptureEditor(corner) && IsBlocksOf(corner, single, 1);
    report.Check(same, "refused, the window keeps 464 x 192 with the 1x picture in its top-left corner " + blockDifference);
    Click(editor, 224, 88, MK_CONTROL);          // 2x fits as it is
    Click(editor, 2 * 224, 2 * 88, MK_CONTROL);  // 3x, refused
    host.Pump(kTimerPeriod * 2);
    Capture kept;
    same = ClientOf(editor) == std::make_pair(2 * W, 2 * H) && host.CaptureEditor(kept) && IsBlocksOf(kept, single, 2);
    report.Check(same, "3x refused: the 2x picture stays whole " + blockDifference);

    HostLog::SetSizeWindowHandler(nullptr);
    sizingHost = nullptr;
    giveRoom = true;
    report.Check(p.Dispatch(effEditClose) == 1 && !IsWindow(editor), "the editor closes");
    p.Dispatch(effMainsChanged, 0, 0);
}
