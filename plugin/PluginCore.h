// The base of every plug-in object: the instance record the host holds, the plug-in
// lock, the parameters, and the paths back into the host.
//
// Threads. The host's audio thread enters only the audio callbacks, setParameter and
// getParameter (and effProcessEvents); none of them waits for another thread, allocates or
// calls the host beyond passing MIDI through. Any thread may do what the audio thread does;
// hosts move audio between threads, but never run two blocks of one instance at once. The
// host's other threads enter the dispatcher, which takes the plug-in lock where it changes
// shared state; the editor's thread (window, timer, mouse) takes the same lock and is the
// only one that tells the host about the user's changes, never while holding it. A value the
// host sets is stored at once and reaches the editor's side at its next tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/ChannelBuffers.h"
#include "plugin/CriticalSection.h"
#include "plugin/PluginEditor.h"
#include "plugin/MidiMsg.h"
#include "plugin/Param.h"
#include "plugin/PluginHost.h"
#include "plugin/Preset.h"
#include "plugin/StateChunk.h"
#include "plugin/Vst2Abi.h"


class PluginCore {
public:
    // `host` is the format's: it is asked who it is at once, and hears of the user's changes.
    PluginCore(PluginHost& host, int paramCount, int inputCount, int outputCount, const char* effectName,
               const char* productString, const char* vendorString, int vendorVersion, int uniqueId, int latency,
               bool doesMidi, bool mono, bool chunks);
    virtual ~PluginCore();
    PluginCore(const PluginCore&) = delete;
    PluginCore& operator=(const PluginCore&) = delete;

    virtual void Reset() {}
    virtual void ParameterChanged(int /*index*/) {}
    virtual void ProcessDoubles(double** inputs, double** outputs, int frames);
    virtual void ProcessFloats(float** inputs, float** outputs, int frames);
    // The window thread, before the editor's window opens (as the host asks) and at each of
    // its timer ticks: where what other threads asked of the window is taken up.
    virtual void EditorOpening() {}
    virtual void EditorTick() {}
    virtual void EditorOpened() {}
    virtual void EditorClosing() {}
    virtual void Idle() {}
    virtual void ActiveChanged(bool /*active*/) {}
    virtual void MidiMessage(const MidiMsg& message);
    virtual bool MidiNoteName(int note, char* text);
    virtual bool SaveState(StateChunk& /*chunk*/) { return false; }
    virtual bool LoadState(StateChunk& /*chunk*/) { return false; }

    AEffect* Record() { return &record; }
    static PluginCore* FromRecord(AEffect* effect)
    {
        return effect ? static_cast<PluginCore*>(effect->object) : nullptr;
    }

    // What every format asks of the plug-in, on the host's non-audio threads.
    void SetSampleRate(double rate);
    void SetBlockSize(int frames);
    // Resumed (true) or suspended; suspending re-applies the sample rate.
    void SetActive(bool active);
    // The editor in the host's window `parent`; false when it could not open.
    bool OpenEditor(void* parent);
    void CloseEditor();
    // effClose: the window and the object go at once, or, inside an event of the editor (a
    // modal dialog's loop may carry the host's close into it), the dialog is cancelled and
    // they go when the event returns. Window thread.
    static void Close(PluginCore* core);
    // Around every message the editor's window handles: a close that arrives meanwhile waits
    // for the outermost one to end, so no handler writes into a freed editor. Leave may
    // delete the object; the caller touches nothing of it afterwards.
    void EnterEditorEvent() { ++editorEvents; }
    static void LeaveEditorEvent(PluginCore* core);
    // The state the host stores, valid until the next request; null when there is none.
    const StateChunk* SaveStateChunk();
    // The state the host hands back; false when it is refused (nothing it could not hold is applied).
    bool LoadStateBytes(const void* bytes, int64_t size);

    CriticalSection& Lock() { return lock; }
    int ParamCount() const { return static_cast<int>(params.size()); }
    Param& ParamAt(int index);
    void NotifyAllParameters();
    // Any thread, the audio thread included: the host's normalised value (or a plain one)
    // for parameter `index`, stored at once. The bound controls and ParameterChanged follow
    // on the editor's side, in DeliverParameterChanges. Never waits.
    void SetParameterFromHost(int index, float normalized);
    void SetPlainFromHost(int index, double plain);
    // Not on the audio thread: brings the controls and ParameterChanged up to the values the
    // host set since the last call. True when there was any.
    bool DeliverParameterChanges();
    // Pushes every parameter to the controls, creates the drawing surface, announces the
    // editor to the host and takes ownership of the graphics object.
    void AttachGraphics(PluginEditor* graphics);
    PluginEditor* GetEditor() const { return graphics; }
    // The window the host gave the editor when it last opened it.
    void* EditorParent() const { return editorParent; }
    void SetParameterFromEditor(int index, double value);
    // The editor's mouse gesture starts and ends (PluginHost::EditGestureBegan, Ended).
    void BeginEditGesture() { host.EditGestureBegan(*this); }
    void EndEditGesture() { host.EditGestureEnded(*this); }
    // Asks the host to make the editor's room w x h pixels (audioMasterSizeWindow); true when
    // it did.
    bool RequestEditorSize(int32_t width, int32_t height);

    bool SendEvent(VstEvent* event);
    bool SendMidiMessage(const MidiMsg& message);
    VstIntPtr CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // Single-precision paths widen through the conversion buffers; accumulate adds the
    // result to what the host's outputs already hold. Blocks longer than the buffers go
    // through in pieces; the buffers are sized only outside the audio callbacks.
    void ProcessConverted(float** inputs, float** outputs, int frames, bool accumulate);
    // Dispatcher threads: the conversion buffers hold blocks of `frames` (and at least a
    // piece), for the channels the record announces.
    void SizeConversionBuffers(int frames);

    // What a block answers when its processing failed: the audio passed through unchanged
    // (silence where there is no input), never more channels than the record announces.
    template <typename Sample>
    void PassThroughUnprocessed(Sample** inputs, Sample** outputs, int frames, bool accumulate);

    // A host's speaker arrangements (either may be null). Answered as accepted, but the
    // callbacks never touch more channels than the record announced, since the host sizes
    // its pointer arrays by the record.
    void SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);

    void RestorePreset(int index);
    void StoreCurrentPreset();

    const std::string& EffectName() const { return effectName; }
    int InputCount() const { return inputCount.load(std::memory_order_relaxed); }
    int OutputCount() const { return outputCount.load(std::memory_order_relaxed); }
    double SampleRate() const { return sampleRate; }
    int BlockSize() const { return blockSize; }
    int32_t HostId() const { return hostId; }
    int32_t HostVersion() const { return hostVersion; }
    int PresetCount() const { return static_cast<int>(presets.size()); }
    int CurrentPreset() const { return currentPreset; }

protected:
    // Adds a preset to the list, which the host sees as one more program; only while the
    // object is being constructed (the list is fixed afterwards). Preset 0 is current from
    // the start, so a plug-in that defines presets restores it at the end of its
    // constructor: the first program change stores the parameters into it.
    void DefinePreset(const std::string& name, const std::vector<double>& values);

private:
    friend struct VstShell;

    void IdentifyTheHost();
    void MarkParameterChanged(int index);

    PluginHost& host;
    CriticalSection lock;
    int blockSize = 0;
    // Read by the audio thread once per block; a speaker arrangement changes them.
    std::atomic<int> inputCount;
    std::atomic<int> outputCount;
    double sampleRate = 44100.0;
    bool doesMidi;
    std::string effectName;
    std::string productString;
    std::string vendorString;
    int32_t hostId = 0;
    int32_t hostVersion = 0;
    std::vector<Preset> presets;
    int currentPreset = 0;
    std::string currentPresetName;
    StateChunk stateChunk;
    ChannelBuffers inputBuffers;
    ChannelBuffers outputBuffers;
    // Held by a block while it converts and by a resize; the audio thread only tries it and
    // passes its block through unconverted when a (misbehaving) host resizes meanwhile.
    std::atomic<bool> conversionBusy{false};
    std::vector<Param> params;
    // One bit per parameter the host set since the editor's side last took them.
    std::unique_ptr<std::atomic<uint32_t>[]> changedByHost;
    PluginEditor* graphics = nullptr;
    void* editorParent = nullptr;
    int editorEvents = 0;       // window thread only
    bool closeRequested = false;
    AEffect record;
};

// Makes the product's plug-in object for a format's host; null when it cannot be made.
PluginCore* CreatePluginInstance(PluginHost& host);
