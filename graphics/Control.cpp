#include "graphics/Control.h"

#include <cmath>

#include "graphics/Graphics.h"
#include "plugin/CriticalSection.h"
#include "plugin/PluginCore.h"

Control::Control(PluginCore* plug, const Rect& rect, int32_t paramIdx, const Blend& blend)
    : plug(plug), drawRect(rect), targetRect(rect), paramIdx(paramIdx), blend(blend)
{
}

void Control::OnMouseDown(int32_t, int32_t, const MouseKeys& keys)
{
    if (!keys.right || paramIdx < 0 || promptDisabled || !plug) return;
    if (paramIdx >= plug->ParamCount()) return;
    if (Graphics* graphics = GraphicsOf(plug)) graphics->PromptParamValue(this, &plug->ParamAt(paramIdx));
}

void Control::OnMouseUp(int32_t, int32_t) {}

void Control::OnMouseDrag(int32_t, int32_t, int32_t, int32_t, const MouseKeys&) {}

void Control::OnMouseDblClick(int32_t, int32_t, const MouseKeys&)
{
    // A negative default means no value has come from the plug-in yet.
    if (defaultValue < 0.0) return;
    value = defaultValue;
    MarkDirty(true);
}

void Control::OnMouseWheel(int32_t, int32_t, const MouseKeys& keys, int32_t steps)
{
    value += steps * (keys.ctrl ? 0.001 : 0.01);
    MarkDirty(true);
}

void Control::OnMouseOver(int32_t, int32_t, const MouseKeys&) {}

void Control::OnMouseOut() {}

void Control::SetHidden(bool hide)
{
    hidden = hide;
    MarkDirty(false);
}

void Control::SetDisabled(bool disable)
{
    disabled = disable;
    blend.weight = disable ? 0.25f : 1.0f;
    MarkDirty(false);
}

void Control::MarkDirty(bool pushToPlug)
{
    // NaN would survive min/max and reach the parameter: treat it as the lowest value.
    if (std::isnan(value)) value = minValue;
    if (value < minValue) value = minValue;
    if (value > maxValue) value = maxValue;
    SetDirty();
    if (pushToPlug && plug && paramIdx >= 0) plug->SetParameterFromEditor(paramIdx, value);
    if (linked && !marking) {
        marking = true;
        linked->value = value;
        linked->MarkDirty(true);
        marking = false;
    }
}

void Control::SetValueFromPlug(double v, CriticalSection* lock)
{
    if (std::isnan(v)) return;
    ScopedLock hold(lock);
    if (defaultValue < 0.0) {
        // The first value pushed from the plug-in is the one a double click restores.
        defaultValue = v;
        value = v;
        MarkDirty(false);
    } else if (value != v) {
        value = v;
        MarkDirty(false);
    }
}

void Control::SetValueFromUserInput(double v)
{
    if (std::isnan(v) || value == v) return;
    value = v;
    MarkDirty(true);
}
