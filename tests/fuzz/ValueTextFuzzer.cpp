// Arbitrary text typed into the value prompt, committed to each of the analyser's
// parameters as the editor commits it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "plugin/PluginCore.h"
#include "tests/fuzz/FuzzHost.h"

using namespace FuzzHost;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static AEffect* effect = [] {
        AEffect* e = MakeInstance(kPlainHost);
        if (!e) Fail("no instance");
        Start(e);
        return e;
    }();
    PluginCore* core = Core(effect);

    // The prompt reads its box into 32 bytes, terminated.
    char box[32] = {};
    std::memcpy(box, data, size < sizeof box - 1 ? size : sizeof box - 1);
    const std::string text(box);

    for (int i = 0; i < core->ParamCount(); ++i) {
        Param& param = core->ParamAt(i);
        const double value = param.ValueForUserText(text);
        if (param.Kind() == ParamKind::Bool || param.Kind() == ParamKind::Enum) {
            if (value != -1.0 && !(value >= param.Min() && value <= param.Max()))
                Fail("a drop-list text gives a value outside the parameter");
        }
        if (!std::isfinite(value)) continue;
        const double normalized = param.ToNormalized(value);
        if (!(normalized >= 0.0 && normalized <= 1.0)) Fail("a typed value normalizes outside 0..1");
        core->SetParameterFromEditor(i, normalized);
        const float read = effect->getParameter(effect, i);
        if (!(read >= 0.0f && read <= 1.0f)) Fail("a committed value reads outside 0..1");
        volatile size_t sink = param.GetDisplayString().size();
        (void)sink;
    }
    return 0;
}
