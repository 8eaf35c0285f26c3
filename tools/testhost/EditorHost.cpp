#include "tools/testhost/EditorHost.h"
#include "tools/testhost/MessagePump.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kBlock = 441;  // 10 ms at 44.1 kHz
constexpr UINT_PTR kAudioTimer = 7;
const char* kFrameClass = "QuillographTestHostFrame";

}  // namespace

bool Capture::DiffersIn(const Capture& other, int left, int top, int right, int bottom) const
{
    if (width != other.width || height != other.height) return true;
    for (int y = top; y < bottom && y < height; ++y)
        for (int x = left; x < right && x < width; ++x)
            if (At(x, y) != other.At(x, y)) return true;
    return false;
}

EditorHost::EditorHost(PluginInstance& plugin) : plugin(plugin)
{
    for (auto* v : {&in[0], &in[1], &out[0], &out[1]}) v->assign(kBlock, 0.0f);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc);  // already registered by an earlier host is fine
    frame = CreateWindowExA(0, kFrameClass, "Quillograph test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400,
                            240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (frame) {
        SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(frame, kAudioTimer, 10, nullptr);
    }
}

EditorHost::~EditorHost()
{
    if (frame) {
        KillTimer(frame, kAudioTimer);
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        DestroyWindow(frame);
    }
}

void EditorHost::SizeFrameClient(int w, int h)
{
    if (!frame) return;
    RECT r = {0, 0, w, h};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(frame, GWL_EXSTYLE)));
    SetWindowPos(frame, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK EditorHost::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorHost* host = reinterpret_cast<EditorHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && message == WM_TIMER && wParam == kAudioTimer) {
        if (host->feeding) host->FeedBlock();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void EditorHost::FeedBlock()
{
    if (!plugin) return;
    // By default a 440 Hz tone on the left and a 660 Hz tone on the right, each at half scale.
    for (int i = 0; i < kBlock; ++i) {
        if (signal) {
            signal(blocks * kBlock + i, in[0][i], in[1][i]);
            continue;
        }
        const double t = (static_cast<double>(blocks) * kBlock + i) / 44100.0;
        in[0][i] = static_cast<float>(0.5 * std::sin(2 * 3.14159265358979 * 440 * t));
        in[1][i] = static_cast<float>(0.5 * std::sin(2 * 3.14159265358979 * 660 * t));
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    plugin->processReplacing(plugin.get(), inputs, outputs, kBlock);
    ++blocks;
}

HWND EditorHost::Editor() const
{
    if (!frame) return nullptr;
    if (HWND child = FindWindowExA(frame, nullptr, "VireoWndClass", nullptr)) return child;
    for (HWND top = FindWindowExA(nullptr, nullptr, "VireoWndClass", nullptr); top;
         top = FindWindowExA(nullptr, top, "VireoWndClass", nullptr))
        if (GetWindow(top, GW_OWNER) == frame) return top;
    return nullptr;
}

void EditorHost::Pump(DWORD ms)
{
    PumpMessages(ms);
}

bool EditorHost::CaptureEditor(Capture& capture) const
{
    HWND editor = Editor();
    RECT client;
    if (!editor || !GetClientRect(editor, &client) || client.right <= 0 || client.bottom <= 0) return false;
    const int w = client.right, h = client.bottom;
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(editor);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (screen && memory && section && bits) {
        HGDIOBJ previous = SelectObject(memory, section);
        ok = BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        if (ok) {
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            capture.width = w;
            capture.height = h;
            capture.pixels.assign(p, p + static_cast<size_t>(w) * h);
            for (uint32_t& px : capture.pixels) px &= 0x00FFFFFFu;
        }
        SelectObject(memory, previous);
    }
    if (section) DeleteObject(section);
    if (memory) DeleteDC(memory);
    if (screen) ReleaseDC(editor, screen);
    return ok;
}

bool EditorHost::WritePng(const Capture& capture, const std::string& path)
{
    if (capture.width <= 0 || capture.height <= 0) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::vector<png_byte> rgb(static_cast<size_t>(capture.width) * capture.height * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(capture.height));
    for (int y = 0; y < capture.height; ++y) {
        png_bytep row = rgb.data() + static_cast<size_t>(y) * capture.width * 3;
        rows[static_cast<size_t>(y)] = row;
        for (int x = 0; x < capture.width; ++x) {
            const uint32_t px = capture.At(x, y);
            row[3 * x] = static_cast<png_byte>(px >> 16);
            row[3 * x + 1] = static_cast<png_byte>(px >> 8);
            row[3 * x + 2] = static_cast<png_byte>(px);
        }
    }
    volatile bool ok = false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(capture.width), static_cast<png_uint_32>(capture.height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}
