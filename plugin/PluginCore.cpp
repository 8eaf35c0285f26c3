#include "plugin/PluginCore.h"

#include <cstring>

#include "plugin/HostId.h"
#include "plugin/Module.h"
#include "plugin/VstShell.h"

// A bound on the constructor's channel counts, which the record announces to the host.
static constexpr int kMaxChannels = 64;

static int BoundedChannels(int count) { return count < 0 ? 0 : count > kMaxChannels ? kMaxChannels : count; }

PluginCore::PluginCore(int paramCount, int inputs, int outputs, const char* name, const char* product,
                       const char* vendor, int vendorVersion, int uniqueId, int latency, bool midi, bool mono,
                       bool chunks)
    : inputCount(BoundedChannels(inputs)),
      outputCount(BoundedChannels(outputs)),
      doesMidi(midi),
      effectName(name ? name : ""),
      productString(product ? product : ""),
      vendorString(vendor ? vendor : ""),
      params(paramCount > 0 ? paramCount : 0)
{
    std::memset(&record, 0, sizeof record);
    record.magic = kEffectMagic;
    record.dispatcher = VstShell::Dispatcher;
    record.process = VstShell::Process;
    record.setParameter = VstShell::SetParameter;
    record.getParameter = VstShell::GetParameter;
    record.numPrograms = 0;
    record.numParams = static_cast<VstInt32>(params.size());
    record.numInputs = inputCount;
    record.numOutputs = outputCount;
    record.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (chunks) record.flags |= effFlagsProgramChunks;
    if (mono) record.flags |= effFlagsCanMono;
    record.initialDelay = latency;
    record.ioRatio = 1.0f;
    record.object = this;
    record.uniqueID = uniqueId;
    record.version = vendorVersion;
    record.processReplacing = VstShell::ProcessReplacing;
    record.processDoubleReplacing = VstShell::ProcessDoubleReplacing;

    IdentifyHostFromCallback();
}

PluginCore::~PluginCore() { delete graphics; }

void PluginCore::AttachGraphics(PluginEditor* newGraphics)
{
    if (!newGraphics) return;
    for (int i = 0; i < ParamCount(); ++i) newGraphics->SetControlFromPlug(i, params[i].GetNormalized(), &lock);
    newGraphics->CreateSurface();
    record.flags |= effFlagsHasEditor;
    graphics = newGraphics;
}

void PluginCore::IdentifyHostFromCallback()
{
    char vendor[256];
    char product[256];
    vendor[0] = '\0';
    product[0] = '\0';
    const VstIntPtr gotVendor = CallHost(audioMasterGetVendorString, 0, 0, vendor, 0.0f);
    const VstIntPtr gotProduct = CallHost(audioMasterGetProductString, 0, 0, product, 0.0f);
    vendor[sizeof vendor - 1] = '\0';
    product[sizeof product - 1] = '\0';
    if (gotVendor == 0 || gotProduct == 0 || (vendor[0] == '\0' && product[0] == '\0')) return;
    hostVersion = static_cast<int32_t>(CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f));
    hostId = IdentifyHost(vendor, product);
}

VstIntPtr PluginCore::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    audioMasterCallback host = HostCallbackRef();
    return host ? host(&record, opcode, index, value, ptr, opt) : 0;
}

Param& PluginCore::ParamAt(int index)
{
    static Param outOfRange;
    if (index < 0 || index >= ParamCount()) return outOfRange;
    return params[index];
}

void PluginCore::NotifyAllParameters()
{
    ScopedLock hold(&lock);
    for (int i = 0; i < ParamCount(); ++i) ParameterChanged(i);
    Reset();
}

void PluginCore::SetParameterFromEditor(int index, double value)
{
    // The shared out-of-range parameter must keep its defaults.
    if (index < 0 || index >= ParamCount()) return;
    ScopedLock hold(&lock);
    const float narrowed = static_cast<float>(value);
    CallHost(audioMasterAutomate, index, 0, nullptr, narrowed);
    ParamAt(index).SetNormalized(narrowed);
    ParameterChanged(index);
}

bool PluginCore::RequestEditorSize(int32_t width, int32_t height)
{
    return CallHost(audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

void PluginCore::SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs)
{
    auto bounded = [](VstInt32 n, VstInt32 announced) { return n < 0 ? 0 : n > announced ? announced : n; };
    // Under the lock, so that a block sees either the old counts or the new ones.
    ScopedLock hold(&lock);
    if (inputs) inputCount = bounded(inputs->numChannels, record.numInputs);
    if (outputs) outputCount = bounded(outputs->numChannels, record.numOutputs);
}

template <typename Sample>
void PluginCore::PassThroughUnprocessed(Sample** inputs, Sample** outputs, int frames, bool accumulate)
{
    if (!outputs || frames <= 0) return;
    const int ins = inputs ? inputCount : 0;
    const int outs = outputCount;
    for (int c = 0; c < outs; ++c) {
        Sample* out = outputs[c];
        const Sample* in = c < ins ? inputs[c] : nullptr;
        if (!out) continue;
        if (accumulate) {
            if (in)
                for (int i = 0; i < frames; ++i) out[i] += in[i];
        } else if (!in) {
            std::memset(out, 0, sizeof(Sample) * frames);
        } else if (in != out) {
            std::memmove(out, in, sizeof(Sample) * frames);
        }
    }
}

template void PluginCore::PassThroughUnprocessed<float>(float**, float**, int, bool);
template void PluginCore::PassThroughUnprocessed<double>(double**, double**, int, bool);

void PluginCore::ProcessDoubles(double** inputs, double** outputs, int frames)
{
    if (!inputs || !outputs || frames <= 0) return;
    const int channels = inputCount < outputCount ? inputCount : outputCount;
    for (int c = 0; c < channels; ++c) {
        if (!outputs[c]) continue;
        if (inputs[c]) {
            if (inputs[c] != outputs[c]) std::memmove(outputs[c], inputs[c], sizeof(double) * frames);
        } else {
            std::memset(outputs[c], 0, sizeof(double) * frames);
        }
    }
}

void PluginCore::ProcessFloats(float** inputs, float** outputs, int frames)
{
    ProcessConverted(inputs, outputs, frames, false);
}

void PluginCore::ProcessConverted(float** inputs, float** outputs, int frames, bool accumulate)
{
    if (!inputs || !outputs || frames <= 0) return;
    // Read once: the block works with one arrangement from start to end.
    const int ins = inputCount;
    const int outs = outputCount;
    if (!inputBuffers.Resize(ins, frames) || !outputBuffers.Resize(outs, frames)) {
        PassThroughUnprocessed(inputs, outputs, frames, accumulate);
        return;
    }
    // Every ProcessDoubles writes the first min(inputs, outputs) channels whole; only the
    // channels beyond them must start silent.
    const int written = ins < outs ? ins : outs;
    for (int c = written; c < outs; ++c) std::memset(outputBuffers.Channels()[c], 0, sizeof(double) * frames);
    double** wideIn = inputBuffers.Channels();
    for (int c = 0; c < ins; ++c) {
        const float* __restrict in = inputs[c];
        double* __restrict wide = wideIn[c];
        if (in)
            for (int i = 0; i < frames; ++i) wide[i] = in[i];
        else
            std::memset(wide, 0, sizeof(double) * frames);
    }
    ProcessDoubles(wideIn, outputBuffers.Channels(), frames);
    double** wideOut = outputBuffers.Channels();
    for (int c = 0; c < outs; ++c) {
        float* __restrict out = outputs[c];
        const double* __restrict wide = wideOut[c];
        if (!out) continue;
        if (accumulate)
            for (int i = 0; i < frames; ++i) out[i] += static_cast<float>(wide[i]);
        else
            for (int i = 0; i < frames; ++i) out[i] = static_cast<float>(wide[i]);
    }
}

void PluginCore::MidiMessage(const MidiMsg& message) { SendMidiMessage(message); }

bool PluginCore::MidiNoteName(int, char* text)
{
    if (text) text[0] = '\0';
    return false;
}

bool PluginCore::SendEvent(VstEvent* event)
{
    VstEvents block;
    std::memset(&block, 0, sizeof block);
    block.numEvents = 1;
    block.reserved = 0;
    block.events[0] = event;
    return CallHost(audioMasterProcessEvents, 0, 0, &block, 0.0f) == 1;
}

bool PluginCore::SendMidiMessage(const MidiMsg& message)
{
    VstMidiEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    return SendEvent(reinterpret_cast<VstEvent*>(&event));
}

void PluginCore::DefinePreset(const std::string& name, const std::vector<double>& values)
{
    presets.push_back(Preset{name, values});
    record.numPrograms = static_cast<VstInt32>(presets.size());
}

void PluginCore::RestorePreset(int index)
{
    if (index < 0 || index >= static_cast<int>(presets.size())) return;
    const Preset& preset = presets[index];
    if (static_cast<int>(preset.values.size()) != ParamCount()) return;
    for (int i = 0; i < ParamCount(); ++i) {
        params[i].Set(preset.values[i]);
        if (graphics) graphics->SetControlFromPlug(i, params[i].GetNormalized(), &lock);
        ParameterChanged(i);
    }
    currentPreset = index;
    currentPresetName = preset.name;
}

void PluginCore::StoreCurrentPreset()
{
    if (currentPreset < 0 || currentPreset >= static_cast<int>(presets.size())) return;
    Preset& preset = presets[currentPreset];
    if (!currentPresetName.empty()) preset.name = currentPresetName;
    preset.values.resize(params.size());
    for (int i = 0; i < ParamCount(); ++i) preset.values[i] = params[i].Value();
}
