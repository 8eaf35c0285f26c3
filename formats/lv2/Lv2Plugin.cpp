// The LV2 plug-in: ports, audio, parameters and state, through the plug-in object's own
// operations, as every format drives it.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "plugin/PluginCore.h"
#include "formats/lv2/Lv2Instance.h"
#include "formats/lv2/Lv2Instances.h"
#include "formats/lv2/Lv2Uris.h"

void Lv2Host::ParameterEdited(PluginCore&, int32_t index, float)
{
    if (index >= 0 && index < Lv2Instance::kControlCount) pendingToHost.fetch_or(1u << index);
}

void SetParameterFromPort(PluginCore* core, int index, float value)
{
    if (!core || index < 0 || index >= core->ParamCount() || !std::isfinite(value)) return;
    const Param& param = core->ParamAt(index);
    double plain = std::fmin(std::fmax(static_cast<double>(value), param.Min()), param.Max());
    if (param.Kind() != ParamKind::Double && param.Step() > 0.0)
        plain = std::fmin(std::floor(plain / param.Step() + 0.5) * param.Step(), param.Max());
    core->SetPlainFromHost(index, plain);
}

namespace {

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    // A rate the plug-in could not be told about exactly (VST passes it as a float).
    if (!std::isfinite(rate) || rate < 1.0 || rate > 16.0e6) return nullptr;
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i)
        if (features[i]->URI && std::strcmp(features[i]->URI, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*>(features[i]->data);

    Lv2Instance* instance = new (std::nothrow) Lv2Instance();
    if (!instance) return nullptr;
    try {
        for (auto& buffer : instance->wide) buffer.assign(Lv2Instance::kPieceFrames, 0.0);
    } catch (...) {
        delete instance;
        return nullptr;
    }
    for (float& last : instance->lastControls) last = std::numeric_limits<float>::quiet_NaN();
    if (map && map->map) {
        instance->chunkKey = map->map(map->handle, kQuillographStateKey);
        instance->chunkType = map->map(map->handle, LV2_ATOM__Chunk);
    }

    instance->core = CreatePluginInstance(instance->host);
    if (!instance->core) {
        delete instance;
        return nullptr;
    }
    if (!Lv2Instances::Add(instance)) {
        delete instance->core;
        delete instance;
        return nullptr;
    }
    PluginCore* core = instance->core;
    core->NotifyAllParameters();
    // As the VST build is told it: a rate narrowed to the float its hosts pass.
    core->SetSampleRate(static_cast<float>(rate));
    core->SetBlockSize(Lv2Instance::kPieceFrames);
    return instance;
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data)
{
    auto* instance = static_cast<Lv2Instance*>(handle);
    switch (port) {
    case Lv2Instance::kInLeft: instance->inputs[0] = static_cast<const float*>(data); break;
    case Lv2Instance::kInRight: instance->inputs[1] = static_cast<const float*>(data); break;
    case Lv2Instance::kOutLeft: instance->outputs[0] = static_cast<float*>(data); break;
    case Lv2Instance::kOutRight: instance->outputs[1] = static_cast<float*>(data); break;
    default:
        if (port >= Lv2Instance::kFirstControl && port < Lv2Instance::kFirstControl + Lv2Instance::kControlCount) {
            const uint32_t i = port - Lv2Instance::kFirstControl;
            if (instance->restoredBeforeRun && data != instance->controls[i]) instance->adoptControl[i] = true;
            instance->controls[i] = static_cast<const float*>(data);
        }
        break;
    }
}

void Activate(LV2_Handle handle)
{
    static_cast<Lv2Instance*>(handle)->core->SetActive(true);
}

void Deactivate(LV2_Handle handle)
{
    static_cast<Lv2Instance*>(handle)->core->SetActive(false);
}

void Run(LV2_Handle handle, uint32_t frames)
{
    auto* instance = static_cast<Lv2Instance*>(handle);
    for (int i = 0; i < Lv2Instance::kControlCount; ++i) {
        if (!instance->controls[i]) continue;
        const float value = *instance->controls[i];
        if (instance->adoptControl[i]) {
            instance->adoptControl[i] = false;
            instance->lastControls[i] = value;
            continue;
        }
        // Compared as bits: NaN is never equal to itself, and a port left at NaN must not
        // re-apply (and take the lock for) nothing on every block.
        if (std::memcmp(&value, &instance->lastControls[i], sizeof value) == 0) continue;
        instance->lastControls[i] = value;
        SetParameterFromPort(instance->core, i, value);
    }
    instance->restoredBeforeRun = false;

    PluginCore* core = instance->core;
    double* wideIn[2] = {instance->wide[0].data(), instance->wide[1].data()};
    double* wideOut[2] = {instance->wide[2].data(), instance->wide[3].data()};
    for (uint32_t done = 0; done < frames;) {
        const uint32_t left = frames - done;
        const int piece = static_cast<int>(left < Lv2Instance::kPieceFrames ? left : Lv2Instance::kPieceFrames);
        // Everything is read before anything is written: the host may give the same buffer
        // as input and output.
        for (int c = 0; c < 2; ++c) {
            const float* in = instance->inputs[c];
            if (in) {
                for (int i = 0; i < piece; ++i) wideIn[c][i] = in[done + i];
            } else {
                std::memset(wideIn[c], 0, sizeof(double) * piece);
            }
        }
        core->ProcessDoubles(wideIn, wideOut, piece);
        for (int c = 0; c < 2; ++c) {
            float* out = instance->outputs[c];
            if (!out) continue;
            for (int i = 0; i < piece; ++i) out[done + i] = static_cast<float>(wideOut[c][i]);
        }
        done += static_cast<uint32_t>(piece);
    }
}

void Cleanup(LV2_Handle handle)
{
    Lv2Instances::Retire(static_cast<Lv2Instance*>(handle));
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle storeHandle, uint32_t,
                      const LV2_Feature* const*)
{
    auto* instance = static_cast<Lv2Instance*>(handle);
    if (!store || !instance->chunkKey || !instance->chunkType) return LV2_STATE_ERR_NO_FEATURE;
    const StateChunk* chunk = instance->core->SaveStateChunk();
    if (!chunk) return LV2_STATE_ERR_UNKNOWN;
    return store(storeHandle, instance->chunkKey, chunk->Data(), static_cast<size_t>(chunk->Size()),
                 instance->chunkType, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle retrieveHandle,
                         uint32_t, const LV2_Feature* const*)
{
    auto* instance = static_cast<Lv2Instance*>(handle);
    if (!retrieve || !instance->chunkKey || !instance->chunkType) return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* data = retrieve(retrieveHandle, instance->chunkKey, &size, &type, &flags);
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    // Anything but the plug-in's own chunk is refused whole, and nothing changes.
    if (type != instance->chunkType) return LV2_STATE_ERR_BAD_TYPE;
    if (size < Lv2Instance::kStateBytes) return LV2_STATE_ERR_UNKNOWN;
    if (!instance->core->LoadStateBytes(data, static_cast<int64_t>(size))) return LV2_STATE_ERR_UNKNOWN;
    // The ports may still hold other values (the host's defaults, when the host restores the
    // blob alone): they count as seen, so the next block keeps the restored values.
    for (int i = 0; i < Lv2Instance::kControlCount; ++i) {
        if (instance->controls[i])
            instance->lastControls[i] = *instance->controls[i];
        else
            instance->adoptControl[i] = true;
    }
    instance->restoredBeforeRun = true;
    // The host's control ports learn the restored values when an editor sends them.
    instance->host.pendingToHost.fetch_or((1u << Lv2Instance::kControlCount) - 1);
    return LV2_STATE_SUCCESS;
}

const void* ExtensionData(const char* uri)
{
    static const LV2_State_Interface state = {Save, Restore};
    if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    return nullptr;
}

const LV2_Descriptor descriptor = {kQuillographPluginUri, Instantiate, ConnectPort, Activate, Run,
                                   Deactivate, Cleanup, ExtensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
