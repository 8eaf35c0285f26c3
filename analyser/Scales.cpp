#include "analyser/Scales.h"

#include "graphics/Graphics.h"
#include "graphics/TextStyle.h"
#include "plugin/FormatString.h"
#include "plugin/SafeConvert.h"

namespace {

const Colour kGridColour(255, 80, 80, 80);
const Blend kGridBlend(BlendKind::Add, 1.0f);
const Blend kCircleBlend(BlendKind::Copy, 1.0f);

// Decibel steps shared by the time and phase scales, in drawing order. The time factor is
// the half-height fraction 0.5 * 10^(dB/20), the phase ratio 10^(-dB/20).
struct DecibelStep {
    const char* label;
    float timeFactor;
    float phaseRatio;
};

const DecibelStep kDecibelSteps[] = {
    {"+12", 1.9904460f, 0.2512f},      {"+6", 0.9976057f, 0.5012f},     {"+0", 0.5f, 1.0f},
    {"-6", 0.25058886f, 1.9953f},      {"-12", 0.12559342f, 3.9811f},   {"-18", 0.06294613f, 7.9433f},
    {"-24", 0.03154793f, 15.8489f},    {"-30", 0.015811376f, 31.6228f},
};

}  // namespace

Scales::Scales(const Rect& view, TextStyle& captionStyle, float vScale)
    : rect(view),
      captionStyle(captionStyle),
      vScale(vScale),
      width(view.right - view.left),
      height(view.bottom - view.top),
      cx(static_cast<float>(view.left + view.right) * 0.5f),
      cy(static_cast<float>(view.top + view.bottom) * 0.5f)
{
}

void Scales::DrawGridLine(Graphics& graphics, float position, const std::string& label, int32_t axis)
{
    const Rect& r = rect;
    if (axis == 1) {
        // Level lines leave a 16-pixel strip on the left for their labels.
        const bool labelled = !label.empty() && position > 0.05f && position < 0.95f;
        captionStyle.align = AlignLeft;
        const float y = static_cast<float>(height) * position + static_cast<float>(r.top);
        graphics.DrawLine(kGridColour, static_cast<float>(r.left + 16), y, static_cast<float>(r.right), y, kGridBlend,
                          false);
        if (labelled) {
            const int32_t row = TruncateToInt32(y);
            graphics.DrawText(captionStyle, label, Rect(r.left + 2, row - 5, r.left + 16, row + 5));
        }
        captionStyle.align = AlignCentre;
    } else {
        // Frequency lines start below the 10-pixel strip that holds their labels.
        const bool labelled = !label.empty() && position > 0.03f && position < 0.88f;
        const float x = static_cast<float>(width) * position + static_cast<float>(r.left);
        graphics.DrawLine(kGridColour, x, static_cast<float>(r.top + 10), x, static_cast<float>(r.bottom), kGridBlend,
                          false);
        if (labelled) {
            const int32_t column = TruncateToInt32(x);
            graphics.DrawText(captionStyle, label, Rect(column - 10, r.top, column + 10, r.top + 10));
        }
    }
}

std::string Scales::FrequencyLabel(int32_t hz)
{
    if (hz < 1000) return FormatString("%d", hz);
    if (hz % 1000 == 0) return FormatString("%dk", hz / 1000);
    return FormatString("%.1fk", hz * 0.001);
}

void Scales::DrawFrequencyGrid(Graphics& graphics, const IntArray& frequencies, const FloatArray& positions,
                                     int32_t axis)
{
    const int count = frequencies.Size() < positions.Size() ? frequencies.Size() : positions.Size();
    for (int i = 0; i < count; ++i) DrawGridLine(graphics, positions[i], FrequencyLabel(frequencies[i]), axis);
}

void Scales::DrawTimeScale(Graphics& graphics)
{
    DrawGridLine(graphics, 0.5f, "db", 1);
    // Only the steps that land between 0.15 and 0.45 of the height from the centre are
    // drawn, so the lines stay clear of the centre and of the edges at any scale.
    for (const DecibelStep& step : kDecibelSteps) {
        const float h = vScale * step.timeFactor;
        if (!(h > 0.15f && h < 0.45f)) continue;
        DrawGridLine(graphics, 0.5f - h, step.label, 1);
        DrawGridLine(graphics, 0.5f + h, step.label, 1);
    }
}

void Scales::DrawPhaseScale(Graphics& graphics)
{
    const Rect& r = rect;
    const float top = static_cast<float>(r.top), bottom = static_cast<float>(r.bottom);
    DrawGridLine(graphics, 0.5f, "db", 1);
    graphics.DrawLine(kGridColour, cx, top, cx, bottom, kGridBlend, false);
    const float d = static_cast<float>(height) * 0.5f;
    graphics.DrawLine(kGridColour, cx + d, top, cx - d, bottom, kGridBlend, false);
    graphics.DrawLine(kGridColour, cx - d, top, cx + d, bottom, kGridBlend, false);
    for (const DecibelStep& step : kDecibelSteps) DrawLevelCircle(graphics, step.phaseRatio, step.label);
}

void Scales::DrawLevelCircle(Graphics& graphics, float ratio, const std::string& label)
{
    const float h = static_cast<float>(height);
    const float radius = vScale / ratio * h * 0.5f;
    // Circles too small to read or wholly outside the view are left out.
    if (!(radius > h * 0.2f && radius < h * 1.15f)) return;
    graphics.DrawCircle(kGridColour, cx, cy, radius, kCircleBlend, true);
    const int32_t right = TruncateToInt32(cx + radius);
    const int32_t centreRow = TruncateToInt32(cy);
    graphics.DrawText(captionStyle, label, Rect(right + 2, centreRow - 10, right + 12, centreRow));
}
