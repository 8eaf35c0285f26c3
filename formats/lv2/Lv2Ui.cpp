// The LV2 editor: the plug-in's own editor window put inside the host's window, driven by
// the host's idle calls. It reaches the running plug-in through instance access; a host
// without it (or a second editor of the same instance) gets a frozen view with a note.
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>
#include <string>

#include "graphics/GraphicsWindow.h"
#include "graphics/x11/X11Window.h"
#include "plugin/PluginCore.h"
#include "formats/lv2/Lv2Instance.h"
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
    Lv2Instance* instance = nullptr;  // the running plug-in, when the host gives access
    PluginCore* core = nullptr;       // the plug-in whose editor is shown
    PluginCore* frozen = nullptr;     // our own stand-in, owned
    X11Window* window = nullptr;
    void* handle = nullptr;           // the X window this editor opened
};

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

// The host's resize feature makes the room for a new editor scale.
bool ResizeThroughHost(void* context, int32_t width, int32_t height)
{
    const auto* resize = static_cast<const LV2UI_Resize*>(context);
    return resize && resize->ui_resize && resize->ui_resize(resize->handle, width, height) == 0;
}

// The plug-in whose editor this is, or null once the host has cleaned it up.
PluginCore* CoreOf(const Editor* editor)
{
    if (!editor || !editor->core) return nullptr;
    if (editor->instance && !Lv2InstanceAlive(editor->instance)) return nullptr;
    return editor->core;
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

void Cleanup(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    if (!editor) return;
    // The host's resize feature goes with this editor; the window outlives it.
    if (editor->window && CoreOf(editor))
        if (auto* owner = dynamic_cast<GraphicsWindow*>(GraphicsOf(CoreOf(editor)))) owner->SetResizer(nullptr, nullptr);
    if (PluginCore* core = CoreOf(editor)) {
        Graphics* graphics = GraphicsOf(core);
        // Another editor may have the window by now; only ours is closed.
        if (graphics && graphics->IsWindowOpen() && graphics->GetWindowHandle() == editor->handle) core->CloseEditor();
    }
    if (editor->frozen) {
        editor->frozen->CloseEditor();
        delete editor->frozen;
    }
    delete editor;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    if (pluginUri && std::strcmp(pluginUri, kQuillographPluginUri) != 0) return nullptr;
    void* parent = nullptr;
    const LV2UI_Resize* resize = nullptr;
    Lv2Instance* instance = nullptr;
    const LV2_Options_Option* options = nullptr;
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        const char* uri = features[i]->URI;
        if (!uri) continue;
        if (std::strcmp(uri, LV2_UI__parent) == 0) parent = features[i]->data;
        else if (std::strcmp(uri, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>(features[i]->data);
        else if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0) instance = static_cast<Lv2Instance*>(features[i]->data);
        else if (std::strcmp(uri, LV2_OPTIONS__options) == 0) options = static_cast<const LV2_Options_Option*>(features[i]->data);
        else if (std::strcmp(uri, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
    }

    Editor* editor = new (std::nothrow) Editor();
    if (!editor) return nullptr;
    editor->write = write;
    editor->controller = controller;
    // Only an instance of this module, alive, in this process is the plug-in we can reach.
    if (instance && !Lv2InstanceAlive(instance)) instance = nullptr;
    if (instance && instance->core) {
        Graphics* graphics = GraphicsOf(instance->core);
        if (graphics && !graphics->IsWindowOpen()) {
            editor->instance = instance;
            editor->core = instance->core;
        } else {
            editor->frozen = MakeFrozenView(graphics ? "editor open in another window" : "editor not available");
        }
    } else {
        editor->frozen = MakeFrozenView("host gives no access to the plug-in");
    }
    if (editor->frozen) editor->core = editor->frozen;

    Graphics* graphics = GraphicsOf(editor->core);
    editor->window = X11Window::Of(graphics);
    if (!editor->window) {
        Cleanup(editor);
        return nullptr;
    }
    if (editor->frozen) {
        // Frozen from the first picture on: nothing feeds it audio anyway.
        SetParameterFromPort(editor->frozen, 3, 1.0f);
    }
    editor->window->SetHostScaleFactor(ScaleFactorOf(options, map));
    static_cast<GraphicsWindow*>(graphics)->SetResizer(resize && resize->ui_resize ? ResizeThroughHost : nullptr,
                                                       const_cast<LV2UI_Resize*>(resize));
    if (!editor->core->OpenEditor(parent)) {
        Cleanup(editor);
        return nullptr;
    }
    editor->handle = graphics->GetWindowHandle();
    if (widget) *widget = editor->handle;
    int32_t w = 0, h = 0;
    graphics->EditorSize(w, h);
    if (resize && resize->ui_resize) resize->ui_resize(resize->handle, w, h);
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
    PluginCore* core = CoreOf(editor);
    if (!core || !editor->window) return 1;
    Graphics* graphics = GraphicsOf(core);
    if (!graphics->IsWindowOpen() || graphics->GetWindowHandle() != editor->handle) return 1;
    editor->window->ServeEvents();
    core->Idle();
    if (editor->instance && editor->write) {
        const uint32_t pending = editor->instance->host.pendingToHost.exchange(0);
        for (int i = 0; i < Lv2Instance::kControlCount; ++i) {
            if (!(pending & (1u << i))) continue;
            const float value = static_cast<float>(core->ParamAt(i).Value());
            editor->write(editor->controller, Lv2Instance::kFirstControl + static_cast<uint32_t>(i), sizeof value, 0,
                          &value);
        }
    }
    return graphics->IsWindowOpen() ? 0 : 1;
}

// Hosts without a window of their own to offer show the editor as a window of its own.
int Show(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    PluginCore* core = CoreOf(editor);
    if (!core) return 1;
    Graphics* graphics = GraphicsOf(core);
    if (graphics->IsWindowOpen()) return graphics->GetWindowHandle() == editor->handle ? 0 : 1;
    if (!core->OpenEditor(nullptr)) return 1;
    editor->handle = graphics->GetWindowHandle();
    return 0;
}

int Hide(LV2UI_Handle handle)
{
    auto* editor = static_cast<Editor*>(handle);
    PluginCore* core = CoreOf(editor);
    if (!core) return 0;
    Graphics* graphics = GraphicsOf(core);
    if (graphics->IsWindowOpen() && graphics->GetWindowHandle() == editor->handle) core->CloseEditor();
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
