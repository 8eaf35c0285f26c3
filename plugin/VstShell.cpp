#include "plugin/VstShell.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/Module.h"
#include "plugin/PluginCore.h"
#include "plugin/VstHost.h"

namespace {

// Names are copied zero-padded to 32 bytes, or to the published limit where that is
// smaller (program names: 24); a longer text is cut so that it stays terminated.
constexpr size_t kNameCopyBytes = 32;

VstIntPtr CopyName(void* ptr, const std::string& text, size_t limit = kNameCopyBytes)
{
    if (!ptr) return 0;
    char* target = static_cast<char*>(ptr);
    std::strncpy(target, text.c_str(), limit);
    target[limit - 1] = '\0';
    return 1;
}

// Shared by every instance: hosts keep the pointer they are given. Each request writes the
// asking instance's size, which hosts read before they ask again.
ERect editorRect = {0, 0, 0, 0};

int16_t ToInt16(int32_t v) { return static_cast<int16_t>(v < 0 ? 0 : v > INT16_MAX ? INT16_MAX : v); }

VstIntPtr CanDo(const char* text, bool doesMidi)
{
    if (!text) return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (!doesMidi) return 0;
    for (const char* midi : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
        if (std::strcmp(text, midi) == 0) return 1;
    return 0;
}

VstIntPtr PinProperties(void* ptr, VstInt32 index, VstInt32 count, const char* prefix)
{
    if (!ptr || index < 0 || index >= count) return 0;
    auto* pin = static_cast<VstPinProperties*>(ptr);
    pin->flags = (index % 2 == 0) ? (kVstPinIsActive | kVstPinIsStereo) : kVstPinIsActive;
    std::snprintf(pin->label, sizeof pin->label, "%s %d", prefix, static_cast<int>(index));
    return 1;
}

}  // namespace

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback)
{
    HostCallbackRef() = hostCallback;
    try {
        PluginCore* core = CreatePluginInstance(VstHost::Shared());
        return core ? core->Record() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

// No exception may reach the host: every entry from it ends here with a harmless answer.
VstIntPtr VSTCALLBACK VstShell::Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt)
{
    try {
        return Dispatch(effect, opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

VstIntPtr VstShell::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    if (!core) return 0;

    if (opcode == effEditIdle || opcode == effIdle) {
        core->Idle();
        return 0;
    }

    switch (opcode) {
    case effOpen:
        core->NotifyAllParameters();
        return 0;
    case effClose:
        PluginCore::Close(core);
        return 0;
    case effSetProgram:
        if (static_cast<size_t>(value) < core->presets.size()) {
            core->StoreCurrentPreset();
            core->RestorePreset(static_cast<int>(value));
            return 1;
        }
        return 0;
    case effGetProgram:
        return core->currentPreset;
    case effSetProgramName:
        if (!ptr) return 0;
        core->currentPresetName = static_cast<const char*>(ptr);
        return 1;
    case effGetProgramName:
        return CopyName(ptr, core->currentPresetName, kVstMaxProgNameLen);
    case effGetParamLabel:
        core->ParamAt(index).GetLabelForHost(static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        core->ParamAt(index).GetDisplayText(static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        core->ParamAt(index).GetNameForHost(static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        core->SetSampleRate(opt);
        return 0;
    case effSetBlockSize:
        core->SetBlockSize(value < 0 ? 0 : value > INT32_MAX ? INT32_MAX : static_cast<int>(value));
        return 0;
    case effMainsChanged:
        core->SetActive(value != 0);
        return 0;
    case effEditGetRect: {
        if (!core->graphics || !ptr) return 0;
        // The size at the editor's scale, which differs between instances and changes with it.
        int32_t w = 0, h = 0;
        core->graphics->EditorSize(w, h);
        editorRect.top = editorRect.left = 0;
        editorRect.bottom = ToInt16(h);
        editorRect.right = ToInt16(w);
        *static_cast<ERect**>(ptr) = &editorRect;
        return 1;
    }
    case effEditOpen:
        return core->OpenEditor(ptr) ? 1 : 0;
    case effEditClose:
        if (!core->graphics) return 0;
        core->CloseEditor();
        return 1;
    case effIdentify:
        return kEffectIdentify;
    case effGetChunk: {
        if (!ptr) return 0;
        const StateChunk* chunk = core->SaveStateChunk();
        if (!chunk) return 0;
        *static_cast<void**>(ptr) = const_cast<uint8_t*>(chunk->Data());
        return chunk->Size();
    }
    case effSetChunk:
        return core->LoadStateBytes(ptr, value) ? 1 : 0;
    case effProcessEvents: {
        // Sent on the audio thread: MIDI through touches nothing shared, so no lock.
        if (!ptr) return 0;
        auto* events = static_cast<VstEvents*>(ptr);
        // The record declares two slots but a host's block holds numEvents of them: index
        // through a pointer, not the declared array, whose bound the block outgrows.
        VstEvent* const* slots = events->events;
        for (VstInt32 i = 0; i < events->numEvents; ++i) {
            VstEvent* event = slots[i];
            if (!event) continue;
            if (event->type == kVstMidiType) {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                MidiMsg message;
                message.offset = midi->deltaFrames;
                message.status = static_cast<uint8_t>(midi->midiData[0]);
                message.data1 = static_cast<uint8_t>(midi->midiData[1]);
                message.data2 = static_cast<uint8_t>(midi->midiData[2]);
                core->MidiMessage(message);
            } else {
                core->SendEvent(event);
            }
        }
        return 1;
    }
    case effCanBeAutomated:
        return 1;
    case effGetProgramNameIndexed: {
        if (static_cast<uint32_t>(index) >= core->presets.size()) return 0;
        const bool current = index == core->currentPreset && !core->currentPresetName.empty();
        CopyName(ptr, current ? core->currentPresetName : core->presets[index].name, kVstMaxProgNameLen);
        return 1;
    }
    case effGetInputProperties:
        return PinProperties(ptr, index, core->record.numInputs, "Input");
    case effGetOutputProperties:
        return PinProperties(ptr, index, core->record.numOutputs, "Output");
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effSetSpeakerArrangement:
        core->SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                    static_cast<const VstSpeakerArrangement*>(ptr));
        return 1;
    case effGetEffectName:
        return CopyName(ptr, core->effectName);
    case effGetVendorString:
        return CopyName(ptr, core->vendorString);
    case effGetProductString:
        return CopyName(ptr, core->productString);
    case effCanDo:
        return CanDo(static_cast<const char*>(ptr), core->doesMidi);
    case effGetVstVersion:
        return 2400;
    case effGetMidiKeyName: {
        if (!ptr) return 0;
        auto* key = static_cast<MidiKeyName*>(ptr);
        key->keyName[0] = '\0';
        return core->MidiNoteName(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    default:
        return 0;
    }
}

// Hosts call both on their audio thread as well as on others: neither waits.
void VSTCALLBACK VstShell::SetParameter(AEffect* effect, VstInt32 index, float value)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    if (core) core->SetParameterFromHost(index, value);
}

float VSTCALLBACK VstShell::GetParameter(AEffect* effect, VstInt32 index)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    // Out of range reads the shared default, whose value is 0: answered without touching it.
    if (!core || index < 0 || index >= core->ParamCount()) return 0.0f;
    return static_cast<float>(core->ParamAt(index).GetNormalized());
}

// A block whose processing fails still answers the host: its audio passed through. No lock:
// the audio thread shares only atomics and the staging hand-over with other threads.
template <typename Sample, typename Body>
static void GuardedBlock(PluginCore* core, Sample** inputs, Sample** outputs, VstInt32 frames, bool accumulate,
                         Body body)
{
    try {
        body();
    } catch (...) {
        core->PassThroughUnprocessed(inputs, outputs, frames, accumulate);
    }
}

void VSTCALLBACK VstShell::Process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    if (!core) return;
    GuardedBlock(core, inputs, outputs, frames, true,
                 [&] { core->ProcessConverted(inputs, outputs, frames, true); });
}

void VSTCALLBACK VstShell::ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    if (!core) return;
    GuardedBlock(core, inputs, outputs, frames, false, [&] { core->ProcessFloats(inputs, outputs, frames); });
}

void VSTCALLBACK VstShell::ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                  VstInt32 frames)
{
    PluginCore* core = PluginCore::FromRecord(effect);
    if (!core) return;
    GuardedBlock(core, inputs, outputs, frames, false, [&] { core->ProcessDoubles(inputs, outputs, frames); });
}
