// Arbitrary bytes as the state a project hands back, given to one instance in a plain host
// and one in host id 1. Whatever the bytes, the instance must answer sound values, draw,
// and take its own saved state back unchanged.
//
// The draw is most of the cost of an input. No new audio arrives, so what the view is given
// (domain, v scale, pause, zoom band, colours) and the editor's scale decide how it draws and
// is shown: each such view state is drawn the first time a loaded chunk gives it, and not
// again, so a campaign reaches its executions.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/Param.h"
#include "plugin/SafeConvert.h"
#include "tests/fuzz/FuzzHost.h"

using namespace FuzzHost;

namespace {

uint8_t parent[16];  // the host's editor frame, as far as the headless window cares

struct Instance {
    AEffect* effect = nullptr;
    // In host id 1 a loaded state opens the floating editor where it was: the editor is
    // closed before every load there, so that the rectangle read is used.
    bool closedBeforeLoad = false;
    std::vector<uint8_t> fresh;  // the new instance's state, restored before every input
    std::unordered_set<std::string> drawn;
};

constexpr size_t kMaxRemembered = 1 << 20;

Instance Make(Kind kind)
{
    Instance instance;
    instance.effect = MakeInstance(kind);
    if (!instance.effect) Fail("no instance");
    instance.closedBeforeLoad = kind == kHostOne;
    Start(instance.effect);
    Dispatch(instance.effect, effEditOpen, 0, 0, parent);
    // Something on the displays, so loaded states change a real picture.
    std::vector<float> left(4096), right(4096);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(0.5 * std::sin(0.0627 * static_cast<double>(i)));
        right[i] = static_cast<float>(0.25 * std::sin(0.0941 * static_cast<double>(i)));
    }
    float* channels[2] = {left.data(), right.data()};
    instance.effect->processReplacing(instance.effect, channels, channels, 4096);
    instance.fresh = SaveChunk(instance.effect);
    return instance;
}

// What the view receives from the parameters and colours, as bytes.
std::string ViewState(AEffect* effect)
{
    auto* plug = dynamic_cast<AnalyserPlugin*>(Core(effect));
    if (!plug || !plug->View()) return std::string();
    const int32_t domain = TruncateToInt32(plug->ParamAt(AnalyserPlugin::kDomain).Value());
    const float scale = static_cast<float>(plug->ParamAt(AnalyserPlugin::kVScale).Value());
    const bool paused = plug->ParamAt(AnalyserPlugin::kPause).Value() >= 0.5;
    const int32_t zoom = TruncateToInt32(plug->ParamAt(AnalyserPlugin::kFftZoom).Value());
    Colour colours[4];
    plug->View()->GetViewColours(colours[0], colours[1], colours[2], colours[3]);
    std::string key;
    auto put = [&key](const void* p, size_t n) { key.append(static_cast<const char*>(p), n); };
    put(&domain, sizeof domain);
    put(&scale, sizeof scale);
    put(&paused, sizeof paused);
    put(&zoom, sizeof zoom);
    const int32_t shownScale = plug->GetGraphics() ? plug->GetGraphics()->ScaleChoice() : 0;
    put(&shownScale, sizeof shownScale);
    // Loaded channels are clamped to 0..255 and enter the draw only as pixel values; the
    // blends tell apart only an alpha of 0, of 255 and one in between.
    for (const Colour& c : colours) {
        const char alpha = c.a == 0 ? 0 : c.a == 255 ? 2 : 1;
        put(&alpha, 1);
    }
    return key;
}

VstIntPtr Load(AEffect* effect, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> copy(bytes);
    return Dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.empty() ? nullptr : copy.data());
}

void Exercise(Instance& instance, const uint8_t* data, size_t size)
{
    AEffect* effect = instance.effect;
    if (!instance.fresh.empty() && Load(effect, instance.fresh) != 1) Fail("a fresh state does not load");
    if (instance.closedBeforeLoad) Dispatch(effect, effEditClose);

    const VstIntPtr loaded = Dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(size),
                                      const_cast<uint8_t*>(data));
    if (loaded != 0 && loaded != 1) Fail("effSetChunk answers neither 0 nor 1");

    const std::vector<uint8_t> saved = SaveChunk(effect);
    for (VstInt32 i = -1; i <= 4; ++i) {
        const float value = effect->getParameter(effect, i);
        if (!(value >= 0.0f && value <= 1.0f)) Fail("a parameter reads outside 0..1");
        char text[Param::kMaxHostText];
        Dispatch(effect, effGetParamDisplay, i, 0, text);
    }
    if (!saved.empty()) {
        if (Load(effect, saved) != 1) Fail("the instance refuses its own state");
        if (SaveChunk(effect) != saved) Fail("the instance's own state does not reload unchanged");
    }

    if (instance.drawn.size() >= kMaxRemembered) instance.drawn.clear();
    if (!instance.drawn.insert(ViewState(effect)).second) return;
    if (HeadlessWindow* window = Window(effect)) {
        if (!window->Exists()) Dispatch(effect, effEditOpen, 0, 0, parent);
        GraphicsWindow& editor = window->Editor();
        editor.Invalidate(Rect(0, 0, editor.ClientWidth(), editor.ClientHeight()));
        window->Tick();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Instance plain = Make(kPlainHost);
    static Instance hostOne = Make(kHostOne);
    Exercise(plain, data, size);
    Exercise(hostOne, data, size);
    return 0;
}
