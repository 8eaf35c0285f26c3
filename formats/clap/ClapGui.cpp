// The gui extension: the plug-in's editor embedded in the host's window (win32 on Windows,
// x11 on Linux), at the size of the scale the editor asks for. The editor asks the host for
// room through the gui extension when its scale changes. On Linux the host's main loop drives
// the editor's X events and redraws (ClapEditorClock).
#include <cmath>
#include <cstdint>
#include <cstring>

#include "formats/clap/ClapInstance.h"
#include "graphics/Graphics.h"
#include "plugin/PluginCore.h"
#if !defined(_WIN32)
#include "graphics/x11/X11Window.h"
#endif

namespace {

#if defined(_WIN32)
const char* const kApi = CLAP_WINDOW_API_WIN32;
#else
const char* const kApi = CLAP_WINDOW_API_X11;
#endif
Graphics* EditorOf(const ClapInstance* instance) { return instance ? GraphicsOf(instance->core) : nullptr; }

// The instance and its editor for a gui call on the main thread, or null.
ClapInstance* Editing(const clap_plugin_t* plugin, const char* call)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core) return nullptr;
    instance->host.OnMainThread(call);
    return EditorOf(instance) ? instance : nullptr;
}

bool IsApiSupported(const clap_plugin_t* plugin, const char* api, bool floating)
{
    return Editing(plugin, "gui.is_api_supported") && api && !floating && std::strcmp(api, kApi) == 0;
}

bool PreferredApi(const clap_plugin_t* plugin, const char** api, bool* floating)
{
    if (!Editing(plugin, "gui.get_preferred_api") || !api || !floating) return false;
    *api = kApi;
    *floating = false;
    return true;
}

bool Create(const clap_plugin_t* plugin, const char* api, bool floating)
{
    ClapInstance* instance = Editing(plugin, "gui.create");
    if (!instance || !api || floating || std::strcmp(api, kApi) != 0 || instance->editorMade) return false;
#if !defined(_WIN32)
    // X has no clock of its own to serve the editor: without the host's it would freeze.
    if (!X11Window::Of(EditorOf(instance)) || !instance->clock.Start(instance->host)) return false;
#endif
    instance->editorMade = true;
    return true;
}

void Destroy(const clap_plugin_t* plugin)
{
    if (ClapInstance* instance = Editing(plugin, "gui.destroy")) DropClapEditor(*instance);
}

bool SetScale(const clap_plugin_t* plugin, double scale)
{
    ClapInstance* instance = Editing(plugin, "gui.set_scale");
    if (!instance || !std::isfinite(scale) || scale <= 0.0) return false;
#if defined(_WIN32)
    // The window follows its monitor's density itself.
    return false;
#else
    X11Window* window = X11Window::Of(EditorOf(instance));
    if (!window) return false;
    window->SetHostScaleFactor(static_cast<float>(scale));
    return true;
#endif
}

bool GetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    ClapInstance* instance = Editing(plugin, "gui.get_size");
    if (!instance || !width || !height) return false;
    int32_t w = 0, h = 0;
    EditorOf(instance)->EditorSize(w, h);
    if (w <= 0 || h <= 0) return false;
    *width = static_cast<uint32_t>(w);
    *height = static_cast<uint32_t>(h);
    return true;
}

// The size follows the editor's own scale choice (ctrl + click in its corner), not the host's frame.
bool CanResize(const clap_plugin_t* plugin)
{
    Editing(plugin, "gui.can_resize");
    return false;
}

bool ResizeHints(const clap_plugin_t* plugin, clap_gui_resize_hints_t*)
{
    Editing(plugin, "gui.get_resize_hints");
    return false;
}

bool AdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    if (!width || !height) return false;
    return GetSize(plugin, width, height);
}

bool SetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height)
{
    uint32_t w = 0, h = 0;
    return GetSize(plugin, &w, &h) && w == width && h == height;
}

bool SetParent(const clap_plugin_t* plugin, const clap_window_t* window)
{
    ClapInstance* instance = Editing(plugin, "gui.set_parent");
    if (!instance || !instance->editorMade || !window || !window->api || std::strcmp(window->api, kApi) != 0)
        return false;
#if defined(_WIN32)
    void* parent = window->win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
#endif
    if (!parent) return false;
    return instance->core->OpenEditor(parent);
}

bool SetTransient(const clap_plugin_t* plugin, const clap_window_t*)
{
    Editing(plugin, "gui.set_transient");
    return false;
}

void SuggestTitle(const clap_plugin_t* plugin, const char*) { Editing(plugin, "gui.suggest_title"); }

// The window is shown with its parent; hidden, it costs nothing but its ticks.
bool Show(const clap_plugin_t* plugin)
{
    ClapInstance* instance = Editing(plugin, "gui.show");
    return instance && EditorOf(instance)->IsWindowOpen();
}

bool Hide(const clap_plugin_t* plugin)
{
    ClapInstance* instance = Editing(plugin, "gui.hide");
    return instance && instance->editorMade;
}

// The editor's X events and, when its period has passed, its tick.
void ServeEditor(ClapInstance& instance)
{
#if !defined(_WIN32)
    X11Window* window = X11Window::Of(EditorOf(&instance));
    if (!window || !EditorOf(&instance)->IsWindowOpen()) return;
    window->ServeEvents();
    instance.core->Idle();
#else
    (void)instance;
#endif
}

void OnTimer(const clap_plugin_t* plugin, clap_id timer)
{
    ClapInstance* instance = Editing(plugin, "timer_support.on_timer");
    if (instance && instance->clock.IsTimer(timer)) ServeEditor(*instance);
}

void OnFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t)
{
    ClapInstance* instance = Editing(plugin, "posix_fd_support.on_fd");
    if (instance && instance->clock.TakeFd(fd)) ServeEditor(*instance);
}

}  // namespace

void DropClapEditor(ClapInstance& instance)
{
    Graphics* editor = EditorOf(&instance);
    if (editor && editor->IsWindowOpen()) instance.core->CloseEditor();
    instance.clock.Stop(instance.host);
    instance.editorMade = false;
}

const clap_plugin_gui_t kClapGui = {IsApiSupported, PreferredApi, Create,     Destroy,    SetScale,
                                    GetSize,        CanResize,    ResizeHints, AdjustSize, SetSize,
                                    SetParent,      SetTransient, SuggestTitle, Show,      Hide};
const clap_plugin_timer_support_t kClapTimerSupport = {OnTimer};
const clap_plugin_posix_fd_support_t kClapPosixFdSupport = {OnFd};
