// The headless editor's picture for a parameter state, to compare the X11 editor with, and
// a probe of whether a click in the view toggles pause.
//   EditorReference picture FILE.png DOMAIN VSCALE ZOOM PAUSE [HOVERX HOVERY]
//   EditorReference chunk-picture FILE.png CHUNK  (parameters and colours from a state chunk)
//   EditorReference click-toggles-pause X Y      (exit 0: it does, 3: it does not)
//   EditorReference describe                      (the parameters as lv2info shows ports)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/PluginCore.h"
#include "tools/SurfacePng.h"

namespace {

struct Plugin {
    Plugin()
    {
        core = CreatePluginInstance(NoHost::Shared());
        if (!core) return;
        AEffect* effect = core->Record();
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    ~Plugin()
    {
        if (core) core->Record()->dispatcher(core->Record(), effClose, 0, 0, nullptr, 0.0f);
    }
    void Set(int index, double value)
    {
        ScopedLock hold(&core->Lock());
        core->ParamAt(index).Set(value);
        core->ParameterChanged(index);
    }
    // An idle host: a second of silence in blocks, as a JACK server with nothing connected
    // gives, painted at the editor's frame rate.
    bool Draw(GraphicsRaster* window, const char* path)
    {
        std::vector<double> silence(512, 0.0), out0(512), out1(512);
        double* ins[2] = {silence.data(), silence.data()};
        double* outs[2] = {out0.data(), out1.data()};
        AEffect* effect = core->Record();
        for (int tick = 0; tick < 24; ++tick) {
            for (int block = 0; block < 4; ++block) effect->processDoubleReplacing(effect, ins, outs, 512);
            window->Tick();
        }
        return WriteSurfacePng(*window->DrawingSurface(), path);
    }
    GraphicsRaster* Window() const { return dynamic_cast<GraphicsRaster*>(GraphicsOf(core)); }
    PluginCore* core = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    Plugin plugin;
    GraphicsRaster* window = plugin.Window();
    if (!window) return 1;
    if ((argc == 7 || argc == 9) && std::strcmp(argv[1], "picture") == 0) {
        for (int i = 0; i < 4; ++i) plugin.Set(i, std::atof(argv[3 + i]));
        if (!window->OpenWindow(nullptr)) return 1;
        if (argc == 9) HeadlessWindow::Of(window)->MouseMove(std::atoi(argv[7]), std::atoi(argv[8]), MouseKeys());
        return plugin.Draw(window, argv[2]) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "chunk-picture") == 0) {
        std::ifstream file(argv[3], std::ios::binary);
        std::vector<char> chunk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        AEffect* effect = plugin.core->Record();
        if (chunk.empty() ||
            effect->dispatcher(effect, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f) != 1)
            return 1;
        if (!window->OpenWindow(nullptr)) return 1;
        return plugin.Draw(window, argv[2]) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "click-toggles-pause") == 0) {
        if (!window->OpenWindow(nullptr)) return 1;
        window->Tick();
        const double before = plugin.core->ParamAt(3).Value();
        MouseKeys keys;
        keys.left = 1;
        HeadlessWindow::Of(window)->MouseDown(std::atoi(argv[2]), std::atoi(argv[3]), keys);
        HeadlessWindow::Of(window)->MouseUp(std::atoi(argv[2]), std::atoi(argv[3]));
        return plugin.core->ParamAt(3).Value() != before ? 0 : 3;
    }
    if (argc == 2 && std::strcmp(argv[1], "describe") == 0) {
        for (int i = 0; i < plugin.core->ParamCount(); ++i) {
            const Param& param = plugin.core->ParamAt(i);
            std::printf("Name: %s\nMinimum: %f\nMaximum: %f\nDefault: %f\n", param.Name().c_str(), param.Min(),
                        param.Max(), param.Value());
            const std::vector<std::string> texts = param.GetDisplayTexts();
            for (size_t t = 0; t < texts.size(); ++t)
                std::printf("%d = \"%s\"\n", static_cast<int>(param.Min()) + static_cast<int>(t), texts[t].c_str());
        }
        return 0;
    }
    std::fprintf(stderr, "usage: EditorReference picture FILE DOMAIN VSCALE ZOOM PAUSE [X Y] | chunk-picture FILE CHUNK"
                         " | click-toggles-pause X Y | describe\n");
    return 2;
}
