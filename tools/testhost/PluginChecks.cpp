#include "tools/MidiThroughBlock.h"
#include "tools/testhost/PluginChecks.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tools/testhost/PluginInstance.h"

namespace {

template <typename T>
struct Stereo {
    std::vector<T> left, right;
    T* channels[2];
    Stereo(int frames, unsigned seed) : left(frames), right(frames)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        for (int i = 0; seed && i < frames; ++i) {
            left[i] = static_cast<T>(uniform(rng));
            right[i] = static_cast<T>(uniform(rng));
        }
        channels[0] = left.data();
        channels[1] = right.data();
    }
};

std::string Hex(long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

void CheckIdentity(const PluginModule& module, Report& report)
{
    report.Check(module.vstPluginMain != nullptr, "VSTPluginMain is exported");
    report.Check(module.main != nullptr, "main is exported");
    HostLog::Clear();
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the entry point answers an instance record")) return;
    report.Check(p->magic == 0x56737450, "magic is VstP");
    report.Check(p->numPrograms == 0, "0 programs");
    report.Check(p->numParams == 4, "4 parameters");
    report.Check(p->numInputs == 2 && p->numOutputs == 2, "2 inputs, 2 outputs");
    report.Check(p->flags == 0x1039, "flags " + Hex(p->flags) + " (editor, replacing, double, chunks, mono)");
    report.Check(p->initialDelay == 0, "initial delay 0");
    report.Check(p->version == 1000, "version 1000");
    report.Check(p->uniqueID == (('q' << 24) | ('l' << 16) | ('g' << 8) | 'p'), "unique ID qlgp");
    report.Check(p->ioRatio == 1.0f, "ioRatio 1.0");
    report.Check(p->process && p->processReplacing && p->processDoubleReplacing && p->setParameter &&
                     p->getParameter && p->dispatcher,
                 "every callback of the record is set");
    const auto& calls = HostLog::Calls();
    report.Check(calls.size() >= 3 && calls[0].opcode == audioMasterGetVendorString &&
                     calls[1].opcode == audioMasterGetProductString && calls[2].opcode == audioMasterGetVendorVersion,
                 "the host is asked for vendor, product and version at construction");

    if (module.main && module.vstPluginMain) {
        PluginInstance viaMain(module.main);
        report.Check(viaMain && viaMain.get() != p.get() && viaMain->uniqueID == p->uniqueID &&
                         viaMain->flags == p->flags,
                     "main makes an identical, separate instance");
    }
}

void CheckDispatcherAnswers(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    report.Check(p.Dispatch(effOpen) == 0, "effOpen answers 0");
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    p.Dispatch(effSetBlockSize, 0, 512);
    report.Check(p.Dispatch(effMainsChanged, 0, 1) == 0, "resume answers 0");
    report.Check(p.Text(effGetEffectName) == "Quillograph", "effect name Quillograph");
    report.Check(p.Text(effGetVendorString) == "Veksa", "vendor Veksa");
    report.Check(p.Text(effGetProductString).empty(), "empty product string");
    report.Check(p.Dispatch(effGetVstVersion) == 2400, "VST version 2400");
    report.Check(p.Dispatch(effGetPlugCategory) == kPlugCategEffect, "category effect");
    report.Check(p.Dispatch(effIdentify) == 0x4E764566, "effIdentify answers NvEf");
    report.Check(p.Dispatch(effCanBeAutomated, 2) == 1, "parameters can be automated");
    report.Check(p.Dispatch(effGetProgram) == 0 && p.Text(effGetProgramName).empty(), "program 0 with an empty name");
    char name[64] = {};
    report.Check(p.Dispatch(effSetProgram, 0, 0) == 0 && p.Dispatch(effGetProgramNameIndexed, 0, 0, name) == 0,
                 "no presets to select or name");

    auto canDo = [&](const char* text) { return p.Dispatch(effCanDo, 0, 0, const_cast<char*>(text)); };
    report.Check(canDo("receiveVstTimeInfo") == 1, "canDo receiveVstTimeInfo");
    report.Check(canDo("ReceiveVstTimeInfo") == 0 && canDo("receiveVstMidiEvent") == 0 && canDo("sendVstEvents") == 0,
                 "canDo answers 0 to MIDI and to other spellings");

    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    bool pins = p.Dispatch(effGetInputProperties, 0, 0, &pin) == 1 && std::string(pin.label) == "Input 0" && pin.flags == 3;
    pins = pins && p.Dispatch(effGetInputProperties, 1, 0, &pin) == 1 && std::string(pin.label) == "Input 1" && pin.flags == 1;
    pins = pins && p.Dispatch(effGetOutputProperties, 0, 0, &pin) == 1 && std::string(pin.label) == "Output 0";
    pins = pins && p.Dispatch(effGetInputProperties, 2, 0, &pin) == 0 && p.Dispatch(effGetOutputProperties, -1, 0, &pin) == 0;
    report.Check(pins, "pin properties (Input 0 stereo, Input 1 active, index 2 refused)");

    ERect* rect = nullptr;
    const bool gotRect = p.Dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect != nullptr;
    report.Check(gotRect && rect->top == 0 && rect->left == 0 && rect->bottom == 96 && rect->right == 232,
                 "effEditGetRect answers top 0, left 0, bottom 96, right 232");
    // Without a parent window the editor may refuse to open; either answer must leave the
    // instance whole, and closing answers 1 whenever there is an editor.
    const VstIntPtr opened = p.Dispatch(effEditOpen);
    p.Dispatch(effEditIdle);
    report.Check((opened == 0 || opened == 1) && p.Dispatch(effEditClose) == 1,
                 "effEditOpen without a parent answers " + std::to_string(static_cast<long>(opened)) +
                     ", effEditClose answers 1");

    void* chunk = nullptr;
    const VstIntPtr chunkSize = p.Dispatch(effGetChunk, 0, 0, &chunk);
    report.Check(chunkSize >= 96 && chunk != nullptr && p.Dispatch(effSetChunk, 0, chunkSize, chunk) == 1 &&
                     p.Dispatch(effSetChunk, 0, 95, chunk) == 0,
                 "the state chunk (" + std::to_string(static_cast<long>(chunkSize)) +
                     " bytes) loads back; a truncated one is refused");

    bool quiet = true;
    for (VstInt32 op : {27, 44, 52, 56, 67, 68, 69, 71, 72, 77, 100, -1})
        quiet = quiet && p.Dispatch(op, 1, 1, nullptr, 1.0f) == 0;
    report.Check(quiet, "unknown opcodes and opcodes above 66 answer 0");

    report.Check(p.Dispatch(effMainsChanged, 0, 0) == 0, "suspend answers 0");
}

void CheckParameters(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    p.Dispatch(effOpen);
    const char* names[] = {"domain", "v scale", "fft zoom", "pause"};
    const char* displays[] = {"freq", "1.00", "0-18k", "off"};
    const char* labels[] = {"", "x", "", ""};
    bool texts = true;
    for (int i = 0; i < 4; ++i)
        texts = texts && p.Text(effGetParamName, i) == names[i] && p.Text(effGetParamDisplay, i) == displays[i] &&
                p.Text(effGetParamLabel, i) == labels[i];
    report.Check(texts, "parameter names, labels and display texts");
    report.Check(std::fabs(p->getParameter(p.get(), 0) - 1.0f / 3.0f) < 1e-6f &&
                     std::fabs(p->getParameter(p.get(), 1) - 0.9f / 19.9f) < 1e-6f && p->getParameter(p.get(), 2) == 0.0f &&
                     p->getParameter(p.get(), 3) == 0.0f,
                 "default normalized values");

    HostLog::Clear();
    p->setParameter(p.get(), 0, 0.5f);
    p->setParameter(p.get(), 1, 0.5f);
    p->setParameter(p.get(), 2, 1.0f);
    p->setParameter(p.get(), 3, 0.5f);
    report.Check(p.Text(effGetParamDisplay, 0) == "phase" && p.Text(effGetParamDisplay, 1) == "10.05" &&
                     p.Text(effGetParamDisplay, 2) == "12k-20k" && p.Text(effGetParamDisplay, 3) == "on",
                 "set values show as phase, 10.05, 12k-20k, on");
    report.Check(HostLog::Count(audioMasterAutomate) == 0, "host-set values are not echoed as automation");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, inf, -inf}) p->setParameter(p.get(), 1, bad);
    report.Check(p.Text(effGetParamDisplay, 1) == "10.05", "NaN and infinite values leave v scale alone");
    p->setParameter(p.get(), 1, 1e30f);
    report.Check(p.Text(effGetParamDisplay, 1) == "20.00", "a huge value is cut to the maximum");
    p->setParameter(p.get(), 1, -1e30f);
    char small[kVstMaxParamStrLen * 3 + 8];
    std::memset(small, 'x', sizeof small);
    p.Dispatch(effGetParamDisplay, 1, 0, small);
    report.Check(small[23] == '\0' && small[24] == 'x', "a runaway display text stops at 24 bytes");

    p->setParameter(p.get(), 4, 0.7f);
    p->setParameter(p.get(), -1, 0.7f);
    report.Check(p->getParameter(p.get(), 4) == 0.0f && p->getParameter(p.get(), -5) == 0.0f &&
                     p.Text(effGetParamDisplay, 4) == "0" && p.Text(effGetParamName, 1 << 30).empty(),
                 "indices outside the parameters read 0 and change nothing");

    bool nulls = true;
    for (VstInt32 op : {4, 5, 6, 7, 8, 13, 23, 24, 25, 29, 33, 34, 45, 47, 48, 51, 66})
        for (VstInt32 index : {-1, 0, 4, 1 << 30}) nulls = nulls && p.Dispatch(op, index, 0, nullptr) == 0;
    report.Check(nulls, "a null ptr answers 0 for every opcode that reads or writes through it");

    AEffect orphan = *p.get();
    orphan.object = nullptr;
    bool none = true;
    for (VstInt32 op = 0; op <= 70; ++op) none = none && orphan.dispatcher(&orphan, op, 0, 0, nullptr, 0.0f) == 0;
    orphan.setParameter(&orphan, 0, 1.0f);
    float* silent[2] = {nullptr, nullptr};
    orphan.processReplacing(&orphan, silent, silent, 64);
    orphan.process(&orphan, silent, silent, 64);
    report.Check(none && orphan.getParameter(&orphan, 0) == 0.0f, "a record whose object is null answers nothing");
}

void CheckAudio(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    p.Dispatch(effOpen);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Dispatch(effSetBlockSize, 0, 512);
    p.Dispatch(effMainsChanged, 0, 1);

    bool exact = true;
    for (int frames : {1, 512, 777, 4096}) {
        Stereo<float> in(frames, 11 + frames), out(frames, 0);
        p->processReplacing(p.get(), in.channels, out.channels, frames);
        exact = exact && in.left == out.left && in.right == out.right;
    }
    report.Check(exact, "processReplacing passes random audio through bit-exact");

    exact = true;
    for (int frames : {1, 512, 777, 4096}) {
        Stereo<double> in(frames, 21 + frames), out(frames, 0);
        p->processDoubleReplacing(p.get(), in.channels, out.channels, frames);
        exact = exact && in.left == out.left && in.right == out.right;
    }
    report.Check(exact, "processDoubleReplacing passes random audio through bit-exact");

    exact = true;
    for (int frames : {1, 512, 4096}) {
        Stereo<float> in(frames, 31 + frames), out(frames, 41 + frames);
        std::vector<float> sumLeft(frames), sumRight(frames);
        for (int i = 0; i < frames; ++i) {
            sumLeft[i] = out.left[i] + in.left[i];
            sumRight[i] = out.right[i] + in.right[i];
        }
        p->process(p.get(), in.channels, out.channels, frames);
        exact = exact && out.left == sumLeft && out.right == sumRight;
    }
    report.Check(exact, "process (accumulating) adds the audio to what the outputs held");

    Stereo<float> in(16, 5), out(16, 6);
    const auto before = out.left;
    p->processReplacing(p.get(), in.channels, out.channels, 0);
    p->process(p.get(), in.channels, out.channels, 0);
    Stereo<double> din(16, 7), dout(16, 8);
    const auto dbefore = dout.left;
    p->processDoubleReplacing(p.get(), din.channels, dout.channels, 0);
    report.Check(out.left == before && dout.left == dbefore, "0-frame blocks change no output sample");

    const int million = 1000000;
    Stereo<float> bigIn(million, 9), bigOut(million, 0);
    p->processReplacing(p.get(), bigIn.channels, bigOut.channels, million);
    bool big = bigIn.left == bigOut.left;
    Stereo<double> bigDin(million, 10), bigDout(million, 0);
    p->processDoubleReplacing(p.get(), bigDin.channels, bigDout.channels, million);
    big = big && bigDin.right == bigDout.right;
    p->process(p.get(), bigIn.channels, bigOut.channels, million);
    big = big && bigOut.right[million - 1] == bigIn.right[million - 1] * 2;
    report.Check(big, "million-frame blocks pass through on all three paths");

    p.Dispatch(effMainsChanged, 0, 0);
}

// Faults a host can trigger: arrangements wider than the record, small name buffers and
// runaway block lengths.
void CheckHostFaults(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    p.Dispatch(effOpen);
    VstSpeakerArrangement surround;
    std::memset(&surround, 0, sizeof surround);
    surround.numChannels = 6;
    report.Check(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&surround), &surround) == 1 &&
                     p->numInputs == 2 && p->numOutputs == 2,
                 "a 6-channel arrangement is accepted and the record still announces 2 and 2");
    // The record announces two channels; whatever a host keeps after them must stay untouched.
    const int frames = 512;
    const float guardValue = -7.25f;
    std::vector<float> guard(frames, guardValue);
    std::vector<double> wideGuard(frames, guardValue);
    Stereo<float> in(frames, 61), out(frames, 0), sumIn(frames, 62), sum(frames, 0);
    Stereo<double> din(frames, 63), dout(frames, 0);
    // As many guard pointers as the arrangement asked for, so that an overrun writes the guards.
    auto padded = [](auto* first, auto* second, auto* guardChannel, auto (&array)[8]) {
        array[0] = first;
        array[1] = second;
        for (int c = 2; c < 8; ++c) array[c] = guardChannel;
    };
    float *inputs[8], *outputs[8], *sumInputs[8], *sumOutputs[8];
    double *dinputs[8], *doutputs[8];
    padded(in.channels[0], in.channels[1], guard.data(), inputs);
    padded(out.channels[0], out.channels[1], guard.data(), outputs);
    padded(sumIn.channels[0], sumIn.channels[1], guard.data(), sumInputs);
    padded(sum.channels[0], sum.channels[1], guard.data(), sumOutputs);
    padded(din.channels[0], din.channels[1], wideGuard.data(), dinputs);
    padded(dout.channels[0], dout.channels[1], wideGuard.data(), doutputs);
    p->processReplacing(p.get(), inputs, outputs, frames);
    p->process(p.get(), sumInputs, sumOutputs, frames);
    p->processDoubleReplacing(p.get(), dinputs, doutputs, frames);
    report.Check(out.left == in.left && out.right == in.right && sum.left == sumIn.left && sum.right == sumIn.right &&
                     dout.left == din.left && dout.right == din.right,
                 "after it, channels 0 and 1 pass through bit-exact on all three paths");
    report.Check(guard == std::vector<float>(frames, guardValue) &&
                     wideGuard == std::vector<double>(frames, guardValue),
                 "and nothing past the two channel pointers is read or written");

    PluginInstance mono(entry);
    mono.Dispatch(effOpen);
    VstSpeakerArrangement one;
    std::memset(&one, 0, sizeof one);
    one.numChannels = 1;
    mono.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&one), &one);
    Stereo<float> monoIn(frames, 64), monoOut(frames, 0);
    float* monoInputs[1] = {monoIn.channels[0]};
    float* monoOutputs[1] = {monoOut.channels[0]};
    mono->processReplacing(mono.get(), monoInputs, monoOutputs, frames);
    report.Check(monoOut.left == monoIn.left, "a 1-channel arrangement passes channel 0 through");

    std::string longName(40, 'n');
    p.Dispatch(effSetProgramName, 0, 0, &longName[0]);
    char name[40];
    std::memset(name, 0x55, sizeof name);
    p.Dispatch(effGetProgramName, 0, 0, name);
    bool bounded = name[23] == '\0' && std::string(name, 23) == std::string(23, 'n');
    for (size_t i = 24; i < sizeof name; ++i) bounded = bounded && name[i] == 0x55;
    report.Check(bounded, "a program name is cut to 24 bytes with its terminator, nothing written past them");

    // No vector can hold this many samples in the 32-bit build; empty channels keep the
    // host's memory out of it.
    float* none[2] = {nullptr, nullptr};
    double* noneWide[2] = {nullptr, nullptr};
    const VstInt32 runaway = 0x7fffffff;
    p->process(p.get(), none, none, runaway);
    p->processReplacing(p.get(), none, none, runaway);
    p->processDoubleReplacing(p.get(), noneWide, noneWide, runaway);
    Stereo<float> after(64, 65), afterOut(64, 0);
    p->processReplacing(p.get(), after.channels, afterOut.channels, 64);
    report.Check(afterOut.left == after.left, "a runaway block length is survived and the next block passes");
}

void CheckMidiThrough(PluginEntry entry, Report& report)
{
    PluginInstance p(entry);
    p.Dispatch(effOpen);
    MidiThroughBlock events;
    HostLog::Clear();
    report.Check(p.Dispatch(effProcessEvents, 0, 0, events.Events()) == 1, "effProcessEvents answers 1");
    std::vector<LoggedCall> echoes;
    for (const auto& call : HostLog::Calls())
        if (call.opcode == audioMasterProcessEvents) echoes.push_back(call);
    bool ok = echoes.size() == 2 && echoes[0].events.size() == 1 && echoes[1].events.size() == 1;
    ok = ok && MidiThroughBlock::IsTheNote(echoes[0].events[0]) && MidiThroughBlock::IsTheSysEx(echoes[1].events[0]);
    report.Check(ok, "MIDI comes back as a new MIDI event, SysEx forwarded unchanged, each in its own block");
    report.Check(HostLog::Count(audioMasterAutomate) == 0, "no automation sent by MIDI through");
}

void CheckTwoInstances(PluginEntry entry, Report& report)
{
    PluginInstance a(entry);
    PluginInstance b(entry);
    if (!report.Check(a && b && a.get() != b.get(), "two instances alive at once at different addresses")) return;
    a.Dispatch(effOpen);
    b.Dispatch(effOpen);
    a->setParameter(a.get(), 0, 0.0f);
    b->setParameter(b.get(), 0, 1.0f);
    Stereo<double> inA(300, 51), outA(300, 0), inB(300, 52), outB(300, 0);
    a->processDoubleReplacing(a.get(), inA.channels, outA.channels, 300);
    b->processDoubleReplacing(b.get(), inB.channels, outB.channels, 300);
    report.Check(a.Text(effGetParamDisplay, 0) == "time" && b.Text(effGetParamDisplay, 0) == "spectro" &&
                     outA.left == inA.left && outB.left == inB.left,
                 "each instance keeps its own parameters and audio");
    a.Close();
    b->setParameter(b.get(), 1, 1.0f);
    report.Check(b.Text(effGetParamDisplay, 1) == "20.00", "closing one instance leaves the other working");
}

}  // namespace

void RunPluginChecks(const PluginModule& module, Report& report)
{
    CheckIdentity(module, report);
    CheckDispatcherAnswers(module.Entry(), report);
    CheckParameters(module.Entry(), report);
    CheckAudio(module.Entry(), report);
    CheckHostFaults(module.Entry(), report);
    CheckMidiThrough(module.Entry(), report);
    CheckTwoInstances(module.Entry(), report);
}
