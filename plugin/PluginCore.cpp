#include "plugin/PluginCore.h"

#include <cmath>
#include <cstring>
#include <thread>

#include "plugin/HostId.h"
#include "plugin/Module.h"
#include "plugin/VstShell.h"

// A bound on the constructor's channel counts, which the record announces to the host.
static constexpr int kMaxChannels = 64;
// The conversion buffers hold at least this many frames, so that a host that never tells
// its block size is served too, and at most kMaxConversionFrames: longer blocks go through
// in pieces.
static constexpr int kConversionPiece = 1024;
static constexpr int kMaxConversionFrames = 8192;
// The largest state we accept from a host; far above anything we write.
static constexpr int64_t kMaxStateBytes = 16 * 1024 * 1024;

static int BoundedChannels(int count) { return count < 0 ? 0 : count > kMaxChannels ? kMaxChannels : count; }

PluginCore::PluginCore(PluginHost& host, int paramCount, int inputs, int outputs, const char* name,
                       const char* product, const char* vendor, int vendorVersion, int uniqueId, int latency, bool midi,
                       bool mono, bool chunks)
    : host(host),
      inputCount(BoundedChannels(inputs)),
      outputCount(BoundedChannels(outputs)),
      doesMidi(midi),
      effectName(name ? name : ""),
      productString(product ? product : ""),
      vendorString(vendor ? vendor : ""),
      params(paramCount > 0 ? paramCount : 0),
      changedByHost(new std::atomic<uint32_t>[(params.size() + 31) / 32 + 1]())
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

    SizeConversionBuffers(0);
    IdentifyTheHost();
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

void PluginCore::IdentifyTheHost()
{
    std::string vendor, product;
    int32_t version = 0;
    if (!host.Identify(*this, vendor, product, version)) return;
    hostVersion = version;
    hostId = IdentifyHost(vendor.c_str(), product.c_str());
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

void PluginCore::SetParameterFromHost(int index, float normalized)
{
    // The shared out-of-range parameter must keep its defaults; NaN or infinity from a host
    // would reach integer conversions downstream.
    if (index < 0 || index >= ParamCount() || !std::isfinite(normalized)) return;
    params[static_cast<size_t>(index)].SetNormalized(normalized);
    MarkParameterChanged(index);
}

void PluginCore::SetPlainFromHost(int index, double plain)
{
    if (index < 0 || index >= ParamCount() || !std::isfinite(plain)) return;
    params[static_cast<size_t>(index)].Set(plain);
    MarkParameterChanged(index);
}

void PluginCore::MarkParameterChanged(int index)
{
    changedByHost[static_cast<size_t>(index / 32)].fetch_or(1u << (index % 32), std::memory_order_release);
}

bool PluginCore::DeliverParameterChanges()
{
    bool any = false;
    const size_t words = (params.size() + 31) / 32;
    for (size_t w = 0; w < words; ++w) {
        // Looked at before it is taken: most ticks find nothing and write nothing.
        if (changedByHost[w].load(std::memory_order_relaxed) == 0) continue;
        uint32_t bits = changedByHost[w].exchange(0, std::memory_order_acq_rel);
        for (int bit = 0; bits != 0; ++bit, bits >>= 1) {
            if (!(bits & 1u)) continue;
            const int index = static_cast<int>(w * 32) + bit;
            ScopedLock hold(&lock);
            if (graphics) graphics->SetControlFromPlug(index, params[static_cast<size_t>(index)].GetNormalized(), &lock);
            ParameterChanged(index);
            any = true;
        }
    }
    return any;
}

void PluginCore::SetParameterFromEditor(int index, double value)
{
    // The shared out-of-range parameter must keep its defaults.
    if (index < 0 || index >= ParamCount() || !std::isfinite(value)) return;
    const float narrowed = static_cast<float>(value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value);
    // The host hears of the value before it can read it back, and without our lock held: it
    // may take its own locks, which its audio thread may hold while it waits for nothing of ours.
    host.ParameterEdited(*this, index, narrowed);
    ParamAt(index).SetNormalized(narrowed);
    ScopedLock hold(&lock);
    ParameterChanged(index);
}

bool PluginCore::RequestEditorSize(int32_t width, int32_t height)
{
    return host.ResizeEditor(*this, width, height);
}

void PluginCore::SetSampleRate(double rate)
{
    ScopedLock hold(&lock);
    sampleRate = rate;
    Reset();
}

void PluginCore::SetBlockSize(int frames)
{
    ScopedLock hold(&lock);
    blockSize = frames < 0 ? 0 : frames;
    SizeConversionBuffers(blockSize);
    Reset();
}

void PluginCore::SetActive(bool active)
{
    ScopedLock hold(&lock);
    if (active) {
        SizeConversionBuffers(blockSize);
        ActiveChanged(true);
    } else {
        ActiveChanged(false);
        Reset();
    }
}

bool PluginCore::OpenEditor(void* parent)
{
    if (!graphics || !graphics->OpenWindow(parent)) return false;
    editorParent = parent;
    EditorOpened();
    return true;
}

void PluginCore::CloseEditor()
{
    if (!graphics) return;
    EditorClosing();
    graphics->CloseWindow();
}

void PluginCore::Close(PluginCore* core)
{
    if (!core) return;
    if (core->graphics) core->graphics->CloseWindow();
    if (core->editorEvents > 0) {
        core->closeRequested = true;
        return;
    }
    delete core;
}

void PluginCore::LeaveEditorEvent(PluginCore* core)
{
    if (--core->editorEvents == 0 && core->closeRequested) delete core;
}

const StateChunk* PluginCore::SaveStateChunk()
{
    ScopedLock hold(&lock);
    stateChunk.Resize(0, true);
    if (!SaveState(stateChunk) || stateChunk.Size() <= 0) return nullptr;
    return &stateChunk;
}

bool PluginCore::LoadStateBytes(const void* bytes, int64_t size)
{
    if (size < 0 || size > kMaxStateBytes || (!bytes && size > 0)) return false;
    ScopedLock hold(&lock);
    if (!stateChunk.Resize(static_cast<int>(size), false)) return false;
    // Hosts may hand back the very bytes the last save gave them.
    if (size > 0) std::memmove(stateChunk.Data(), bytes, static_cast<size_t>(size));
    if (!LoadState(stateChunk)) return false;
    NotifyAllParameters();
    return true;
}

void PluginCore::SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs)
{
    auto bounded = [](VstInt32 n, VstInt32 announced) { return n < 0 ? 0 : n > announced ? announced : n; };
    // A block reads each count once, so it sees either the old one or the new one.
    if (inputs) inputCount.store(bounded(inputs->numChannels, record.numInputs), std::memory_order_relaxed);
    if (outputs) outputCount.store(bounded(outputs->numChannels, record.numOutputs), std::memory_order_relaxed);
}

template <typename Sample>
void PluginCore::PassThroughUnprocessed(Sample** inputs, Sample** outputs, int frames, bool accumulate)
{
    if (!outputs || frames <= 0) return;
    const int ins = inputs ? InputCount() : 0;
    const int outs = OutputCount();
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
    const int ins = InputCount();
    const int outs = OutputCount();
    const int channels = ins < outs ? ins : outs;
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

void PluginCore::SizeConversionBuffers(int frames)
{
    if (frames < kConversionPiece) frames = kConversionPiece;
    if (frames > kMaxConversionFrames) frames = kMaxConversionFrames;
    // A block holds the buffers for microseconds at most; a host that resizes while it
    // processes (which hosts must not) waits here, never the audio thread.
    while (conversionBusy.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
    if (!inputBuffers.Resize(record.numInputs, frames) || !outputBuffers.Resize(record.numOutputs, frames)) {
        inputBuffers.Resize(0, 0);
        outputBuffers.Resize(0, 0);
    }
    conversionBusy.store(false, std::memory_order_release);
}

void PluginCore::ProcessConverted(float** inputs, float** outputs, int frames, bool accumulate)
{
    if (!inputs || !outputs || frames <= 0) return;
    // Read once: the block works with one arrangement from start to end.
    const int ins = InputCount();
    const int outs = OutputCount();
    bool anyOutput = false;
    for (int c = 0; c < outs; ++c) anyOutput = anyOutput || outputs[c];
    // Nothing to write back: a runaway frame count from a broken host must not cost pieces.
    if (!anyOutput) return;
    if (conversionBusy.exchange(true, std::memory_order_acquire)) {
        PassThroughUnprocessed(inputs, outputs, frames, accumulate);
        return;
    }
    const int piece = inputBuffers.FrameCount() < outputBuffers.FrameCount() ? inputBuffers.FrameCount()
                                                                              : outputBuffers.FrameCount();
    if (piece <= 0 || ins > inputBuffers.ChannelCount() || outs > outputBuffers.ChannelCount()) {
        conversionBusy.store(false, std::memory_order_release);
        PassThroughUnprocessed(inputs, outputs, frames, accumulate);
        return;
    }
    // Every ProcessDoubles writes the first min(inputs, outputs) channels whole; only the
    // channels beyond them must start silent.
    const int written = ins < outs ? ins : outs;
    double** wideIn = inputBuffers.Channels();
    double** wideOut = outputBuffers.Channels();
    for (int done = 0; done < frames;) {
        const int n = frames - done < piece ? frames - done : piece;
        for (int c = written; c < outs; ++c) std::memset(wideOut[c], 0, sizeof(double) * n);
        for (int c = 0; c < ins; ++c) {
            const float* __restrict in = inputs[c] ? inputs[c] + done : nullptr;
            double* __restrict wide = wideIn[c];
            if (in)
                for (int i = 0; i < n; ++i) wide[i] = in[i];
            else
                std::memset(wide, 0, sizeof(double) * n);
        }
        ProcessDoubles(wideIn, wideOut, n);
        for (int c = 0; c < outs; ++c) {
            if (!outputs[c]) continue;
            float* __restrict out = outputs[c] + done;
            const double* __restrict wide = wideOut[c];
            if (accumulate)
                for (int i = 0; i < n; ++i) out[i] += static_cast<float>(wide[i]);
            else
                for (int i = 0; i < n; ++i) out[i] = static_cast<float>(wide[i]);
        }
        done += n;
    }
    conversionBusy.store(false, std::memory_order_release);
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
