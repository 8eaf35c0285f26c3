// The event block a host hands effProcessEvents in the checks of MIDI through: a note, an
// empty slot and a SysEx dump, each with frame offsets and bytes to find again in what the
// plug-in sends back.
#pragma once

#include <cstring>

#include "plugin/Vst2Abi.h"

struct MidiThroughBlock {
    static constexpr VstInt32 kNoteDelta = 17;
    static constexpr VstInt32 kSysExDelta = 5;
    static constexpr char kNote[3] = {char(0x90), 60, 100};

    VstMidiEvent note;
    char dump[4] = {char(0xF0), 1, 2, char(0xF7)};
    VstMidiSysexEvent sysex;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } block;

    MidiThroughBlock()
    {
        std::memset(&note, 0, sizeof note);
        note.type = kVstMidiType;
        note.byteSize = 24;
        note.deltaFrames = kNoteDelta;
        note.noteLength = 99;  // not carried over: MIDI through makes a new event
        std::memcpy(note.midiData, kNote, 3);
        std::memset(&sysex, 0, sizeof sysex);
        sysex.type = kVstSysExType;
        sysex.byteSize = sizeof sysex;
        sysex.deltaFrames = kSysExDelta;
        sysex.dumpBytes = sizeof dump;
        sysex.sysexDump = dump;
        block = {3, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, reinterpret_cast<VstEvent*>(&sysex)}};
    }
    MidiThroughBlock(const MidiThroughBlock&) = delete;
    MidiThroughBlock& operator=(const MidiThroughBlock&) = delete;

    void* Events() { return &block; }
    // Whether `echoed` is the note sent back as the plug-in's own new MIDI event.
    static bool IsTheNote(const VstEvent& echoed)
    {
        const auto& midi = reinterpret_cast<const VstMidiEvent&>(echoed);
        return midi.type == kVstMidiType && midi.byteSize == 32 && midi.deltaFrames == kNoteDelta &&
               midi.noteLength == 0 && std::memcmp(midi.midiData, kNote, 3) == 0 && midi.midiData[3] == 0;
    }
    static bool IsTheSysEx(const VstEvent& echoed)
    {
        return echoed.type == kVstSysExType && echoed.deltaFrames == kSysExDelta;
    }
};
