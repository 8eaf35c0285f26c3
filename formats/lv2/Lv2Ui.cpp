// The LV2 editor: the plug-in's own editor window put inside the host's window, driven by
// the host's idle calls. It reaches the running plug-in through instance access; a host
// without it (or a second editor of the same instance) gets a frozen view with a note.
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "graphics/GraphicsWindow.h"
#include "graphics/x11/X11Window.h"
#include "plugin/PluginCore.h"
#include "formats/lv2/Lv2Instance.h"
#include "formats/lv2/Lv2Instances.h"
#include "formats/lv2/Lv2Uris.h"

namespace {

// Covers the frozen view: says why it is frozen and takes the mouse, so nothing changes.
class NoteControl final : public Control {
public:
    NoteControl(PluginCore* plug, int32_t width, int32_t height, std::string text)
        : Control(plug, Rect(0, 0, width, height), -1, Blend()), text(std::move(text))
    {
    }
    bool Draw(Graphics& graphics) override
    {
        const Rect band(0, DrawRect().bottom / 2 - 8, DrawRect().right, DrawRect().bottom / 2 + 8);
        graphics.FillRect(Colour(255, 0, 0, 0), band, Blend());
        graphics.DrawText(TextStyle("Arial", 12, Colour(255, 0, 128, 255), TextNormal, AlignCentre, 0), text, band);
        return true;
    }
    void OnMouseDown(int32_t, int32_t, const MouseKeys&) override {}
    void OnMouseDblClick(int32_t, int32_t, const MouseKeys&) override {}
    void OnMouseWheel(int32_t, int32_t, const MouseKeys&, int32_t) override {}

private:
    std::string text;
};

struct Editor {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    // The running plug-in, when the host gives access: where it was, and which instance.
    const void* instance = nullptr;
    uint64_t generation = 0;
    PluginCore* frozen = nullptr;     // our own stand-in, owned
    void* handle = nullptr;           // the X window this editor opened

    // One host call at a time. A host may close the editor from another thread than the one
    // that serves it: the closing waits for a call under way (ending a colour prompt there
    // first), and a call that begins after it does nothing.
    std::mutex calls;
    std::atomic<std::thread::id> caller{};
    std::atomic<bool> closing{false};
    // Closed from inside one of its own calls (the host's write callback, say): finished
    // when that call returns.
    bool closeAfterCall = false;
};

// The plug-in whose editor this is, for the length of one host call: the running plug-in
// while it lives (nothing once the host has cleaned it up, whatever lives at its address
// since), or the frozen stand-in.
class Shown {
public:
    explicit Shown(const Editor& editor)
        : use(editor.instance, editor.generation),
          core(editor.frozen ? editor.frozen : use.get() ? use.get()->core : nullptr)
    {
    }
    PluginCore* Core() const { return core; }
    Lv2Instance* Instance() const { return use.get(); }
    Graphics* View() const { return GraphicsOf(core); }
    GraphicsWindow* Window() const { return dynamic_cast<GraphicsWindow*>(View()); }
    // Whether the window open now is the one this editor opened.
    bool Owns(const Editor& editor) const
    {
        const Graphics* view = View();
        return view && view->IsWindowOpen() && view->GetWindowHandle() == editor.handle;
    }

private:
    Lv2InstanceUse use;
    PluginCore* core;
};

// Holds the editor for one host call; false when it is closing (or the call is nested in
// another of its calls on the same thread).
class Call {
public:
    explicit Call(Editor& editor) : editor(editor)
    {
        if (editor.caller.load() == std::this_thread::get_id()) return;
        editor.calls.lock();
        editor.caller = std::this_thread::get_id();
        held = !editor.closing;
        locked = true;
    }
    ~Call();
    explicit operator bool() const { return held; }

private:
    Editor& editor;
    bool locked = false;
    bool held = false;
};

// A host's resize feature makes the room for a new editor scale.
bool ResizeThroughHost(void* context, int32_t width, int32_t height)
{
    const auto* resize = static_cast<const LV2UI_Resize*>(context);
    return resize && resize->ui_resize && resize->ui_resize(resize->handle, width, height) == 0;
}

// The host's scale factor among its options (a float keyed by ui:scaleFactor), 0 when none.
float ScaleFactorOf(const LV2_Options_Option* options, const LV2_URID_Map* map)
{
    if (!options || !map || !map->map) return 0.0f;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o)
        if (o->key == key && o->type == floatType && o->size == sizeof(float) && o->value) {
            float factor = 0.0f;
            std::memcpy(&factor, o->value, sizeof factor);
            return factor;
        }
    return 0.0f;
}

PluginCore* MakeFrozenView(const char* note)
{
    PluginCore* core = CreatePluginInstance(NoHost::Shared());
    if (!core) return nullptr;
    core->NotifyAllParameters();
    Graphics* graphics = GraphicsOf(core);
    if (graphics) {
        try {
            graphics->AttachControl(new NoteControl(core, graphics->Width(), graphics->Height(), note));
        } catch (...) {
        }
    }
    return core;
}

// The editor's window and the editor itself go.
void Finish(Editor* editor)
{
    {
        Shown shown(*editor);
        GraphicsWindow* window = shown.Window();
        // Another editor may have the window by now; only ours is closed, and the host's
        // resize feature goes with this editor.
        if (window && (shown.Owns(*editor) || !window->IsWindowOpen())) window->SetResizer(nullptr, nullptr);
        if (shown.Owns(*editor)) shown.Core()->CloseEditor();
    }
    if (editor->frozen) {
        editor->frozen->CloseEditor();
        delete editor->frozen;
    }
    delete editor;
}

Call::~Call()
{
    if (!locked) return;
    const bool finish = editor.closeAfterCall;
    editor.caller = std::thread::id();
    editor.calls.unlock();
    if (finish) Finish(&editor);
}

void Cleanup(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    if (!editor) return;
    editor->closing = true;
    if (editor->caller.load() == std::this_thread::get_id()) {
        editor->closeAfterCall = true;
        return;
    }
    if (editor->caller.load() != std::thread::id()) {
        // A colour prompt another thread is serving ends, so that its call returns.
        Shown shown(*editor);
        if (Graphics* view = shown.View()) view->EndPrompts();
    }
    editor->calls.lock();
    editor->calls.unlock();
    Finish(editor);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    if (pluginUri && std::strcmp(pluginUri, kQuillographPluginUri) != 0) return nullptr;
    void* parent = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const void* instance = nullptr;
    const LV2_Options_Option* options = nullptr;
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        const char* uri = features[i]->URI;
        if (!uri) continue;
        if (std::strcmp(uri, LV2_UI__parent) == 0) parent = features[i]->data;
        else if (std::strcmp(uri, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>(features[i]->data);
        else if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0) instance = features[i]->data;
        else if (std::strcmp(uri, LV2_OPTIONS__options) == 0) options = static_cast<const LV2_Options_Option*>(features[i]->data);
        else if (std::strcmp(uri, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
    }

    Editor* editor = new (std::nothrow) Editor();
    if (!editor) return nullptr;
    editor->write = write;
    editor->controller = controller;
    // Only an instance of this module, alive, in this process is the plug-in we can reach.
    const uint64_t generation = instance ? Lv2Instances::GenerationAt(instance) : 0;
    if (generation) {
        editor->instance = instance;
        editor->generation = generation;
        Shown shown(*editor);
        Graphics* graphics = shown.View();
        if (!graphics || graphics->IsWindowOpen()) {
            editor->instance = nullptr;
            editor->frozen = MakeFrozenView(graphics ? "editor open in another window" : "editor not available");
        }
    } else {
        editor->frozen = MakeFrozenView("host gives no access to the plug-in");
    }

    bool opened = false;
    {
        Shown shown(*editor);
        GraphicsWindow* window = shown.Window();
        X11Window* x11 = X11Window::Of(window);
        if (x11) {
            // Frozen from the first picture on: nothing feeds it audio anyway.
            if (editor->frozen) SetParameterFromPort(editor->frozen, 3, 1.0f);
            x11->SetHostScaleFactor(ScaleFactorOf(options, map));
            window->SetResizer(resize && resize->ui_resize ? ResizeThroughHost : nullptr,
                               const_cast<LV2UI_Resize*>(resize));
            opened = shown.Core()->OpenEditor(parent);
        }
        if (opened) {
            editor->handle = window->GetWindowHandle();
            if (widget) *widget = editor->handle;
            int32_t w = 0, h = 0;
            window->EditorSize(w, h);
            if (resize && resize->ui_resize) resize->ui_resize(resize->handle, w, h);
        }
    }
    if (!opened) {
        Finish(editor);
        return nullptr;
    }
    return editor;
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    auto* editor = static_cast<Editor*>(handle);
    // The running plug-in takes its values from its ports; only the stand-in follows here.
    if (!editor || !editor->frozen || format != 0 || size != sizeof(float) || !buffer) return;
    if (port < Lv2Instance::kFirstControl || port >= Lv2Instance::kFirstControl + Lv2Instance::kControlCount) return;
    const int index = static_cast<int>(port - Lv2Instance::kFirstControl);
    if (index == 3) return;  // stays frozen
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    SetParameterFromPort(editor->frozen, index, value);
}

int Idle(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    if (!editor) return 1;
    Call call(*editor);
    if (!call) return editor->closing ? 1 : 0;
    Shown shown(*editor);
    X11Window* window = X11Window::Of(shown.View());
    if (!window || !shown.Owns(*editor)) return 1;
    window->ServeEvents();
    shown.Core()->Idle();
    if (Lv2Instance* instance = shown.Instance(); instance && editor->write) {
        const uint32_t pending = instance->host.pendingToHost.exchange(0);
        for (int i = 0; i < Lv2Instance::kControlCount; ++i) {
            if (!(pending & (1u << i))) continue;
            const float value = static_cast<float>(shown.Core()->ParamAt(i).Value());
            editor->write(editor->controller, Lv2Instance::kFirstControl + static_cast<uint32_t>(i), sizeof value, 0,
                          &value);
        }
    }
    return shown.Owns(*editor) ? 0 : 1;
}

// Hosts without a window of their own to offer show the editor as a window of its own.
int Show(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    if (!editor) return 1;
    Call call(*editor);
    Shown shown(*editor);
    Graphics* graphics = shown.View();
    if (!call || !graphics) return 1;
    if (graphics->IsWindowOpen()) return shown.Owns(*editor) ? 0 : 1;
    if (!shown.Core()->OpenEditor(nullptr)) return 1;
    editor->handle = graphics->GetWindowHandle();
    return 0;
}

int Hide(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    if (!editor) return 0;
    Call call(*editor);
    Shown shown(*editor);
    if (call && shown.Owns(*editor)) shown.Core()->CloseEditor();
    return 0;
}

const void* ExtensionData(const char* uri)
{
    static const LV2UI_Idle_Interface idle = {Idle};
    static const LV2UI_Show_Interface show = {Show, Hide};
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idle;
    if (uri && std::strcmp(uri, LV2_UI__showInterface) == 0) return &show;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {kQuillographUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
