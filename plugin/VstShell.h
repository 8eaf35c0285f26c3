// The host-facing adapter: entry point, instance-record callbacks and the dispatcher.
// Each finds its PluginCore through the record's object field.
#pragma once

#include "plugin/Vst2Abi.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

struct VstShell {
    static VstIntPtr VSTCALLBACK Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt);
    static void VSTCALLBACK SetParameter(AEffect* effect, VstInt32 index, float value);
    static float VSTCALLBACK GetParameter(AEffect* effect, VstInt32 index);
    static void VSTCALLBACK Process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                   VstInt32 frames);

private:
    // The dispatcher's work; Dispatcher keeps its exceptions from the host.
    static VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);
};
