// The editor as the plug-in layer sees it: what the instance record and the parameters need
// of it. The graphics object is the one implementation; the plug-in owns it through this.
#pragma once

#include <cstdint>

class CriticalSection;

class PluginEditor {
public:
    virtual ~PluginEditor() = default;

    // The parameter's bound controls take the normalised value.
    virtual void SetControlFromPlug(int32_t paramIdx, double value, CriticalSection* lock) = 0;
    virtual bool CreateSurface() = 0;
    // The size the host is told, at the scale the editor asks for.
    virtual void EditorSize(int32_t& w, int32_t& h) = 0;
    virtual bool OpenWindow(void* parent) = 0;
    virtual void CloseWindow() = 0;
    // Any modal prompt of the editor answers as cancelled, from any thread.
    virtual void EndPrompts() {}
};
