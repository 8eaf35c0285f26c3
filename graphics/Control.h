// One rectangular element of the editor: optionally bound to a parameter, it keeps a
// normalized value, knows when it must be redrawn, draws itself and receives the mouse.
#pragma once

#include <atomic>
#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/MouseKeys.h"
#include "graphics/Rect.h"

class CriticalSection;
class Graphics;
class PluginCore;

class Control {
public:
    Control(PluginCore* plug, const Rect& rect, int32_t paramIdx, const Blend& blend);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual void OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys);
    virtual void OnMouseUp(int32_t x, int32_t y);
    virtual void OnMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy, const MouseKeys& keys);
    virtual void OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys);
    virtual void OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps);
    virtual void OnMouseOver(int32_t x, int32_t y, const MouseKeys& keys);
    virtual void OnMouseOut();
    virtual bool Draw(Graphics& graphics) = 0;
    virtual void SetHidden(bool hide);
    virtual void SetDisabled(bool disable);
    virtual void MarkDirty(bool pushToPlug);
    // The mark the audio and automation threads give: only the flag, never `value`, which
    // belongs to the window thread (its mouse handlers write it without a lock). A release
    // store, not a full fence: the audio thread marks the view at every block.
    void SetDirty() { dirty.store(true, std::memory_order_release); }
    // The audio thread's mark, once a block: stored only when clear, so that the flag's
    // cache line is not written again and again between two redraws.
    void SetDirtyIfClean()
    {
        if (!dirty.load(std::memory_order_relaxed)) dirty.store(true, std::memory_order_release);
    }
    virtual void SetClean() { dirty.store(false, std::memory_order_release); }
    virtual bool IsDirty() const { return dirty.load(std::memory_order_acquire); }

    void SetValueFromPlug(double v, CriticalSection* lock);
    void SetValueFromUserInput(double v);

    PluginCore* Plug() const { return plug; }
    const Rect& DrawRect() const { return drawRect; }
    const Rect& TargetRect() const { return targetRect; }
    void SetTargetRect(const Rect& r) { targetRect = r; }
    int32_t ParamIdx() const { return paramIdx; }
    double Value() const { return value; }
    void SetValue(double v) { value = v; }
    double DefaultValue() const { return defaultValue; }
    bool IsHidden() const { return hidden; }
    bool IsDisabled() const { return disabled; }
    void SetPromptDisabled(bool off) { promptDisabled = off; }
    const Blend& GetBlend() const { return blend; }
    void SetLinked(Control* other) { linked = other; }

protected:
    PluginCore* plug;
    Rect drawRect;
    Rect targetRect;
    int32_t paramIdx;
    double value = 0.0;
    double defaultValue = -1.0;
    double minValue = 0.0;
    double maxValue = 1.0;
    // Set by host and audio threads, read and cleared by the paint on the window thread.
    std::atomic<bool> dirty{true};
    bool hidden = false;
    bool disabled = false;
    bool promptDisabled = false;
    Blend blend;
    Control* linked = nullptr;

private:
    // Guards a ring of linked controls against marking each other forever.
    bool marking = false;
};
