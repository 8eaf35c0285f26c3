#include "plugin/Param.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plugin/FormatString.h"
#include "plugin/LeadingNumber.h"
#include "plugin/SafeConvert.h"

// Clears the first bytes as hosts expect, then writes as much of text as fits.
static void CopyHostText(char* buffer, const std::string& text)
{
    if (!buffer) return;
    std::memset(buffer, 0, 8);
    const size_t n = std::min(text.size(), static_cast<size_t>(Param::kMaxHostText - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

Param::Param(const Param& other) { *this = other; }

Param& Param::operator=(const Param& other)
{
    if (this == &other) return *this;
    kind = other.kind;
    value.store(other.Value(), std::memory_order_release);
    min = other.min;
    max = other.max;
    step = other.step;
    shape = other.shape;
    precision = other.precision;
    displayTexts = other.displayTexts;
    name = other.name;
    label = other.label;
    displayNegated = other.displayNegated;
    return *this;
}

static int32_t DecimalPlaces(double step)
{
    int32_t places = 0;
    double s = step;
    while (std::isfinite(s) && s != std::floor(s)) {
        ++places;
        s *= 10.0;
        if (places >= 6) break;
    }
    return places;
}

void Param::InitDouble(const char* newName, double defaultValue, double newMin, double newMax, double newStep,
                       const char* newLabel)
{
    if (kind == ParamKind::Unset) kind = ParamKind::Double;
    name = newName ? newName : "";
    label = newLabel ? newLabel : "";
    value.store(defaultValue, std::memory_order_release);
    min = newMin;
    max = newMax > newMin + newStep ? newMax : newMin + newStep;
    step = newStep;
    precision = DecimalPlaces(newStep);
}

void Param::InitEnum(const char* newName, int defaultValue, int count)
{
    if (kind == ParamKind::Unset) kind = ParamKind::Enum;
    InitDouble(newName, defaultValue, 0, count - 1, 1, nullptr);
}

void Param::InitBool(const char* newName, bool defaultValue)
{
    if (kind == ParamKind::Unset) kind = ParamKind::Bool;
    InitDouble(newName, defaultValue ? 1 : 0, 0, 1, 1, nullptr);
    SetDisplayText(0, "off");
    SetDisplayText(1, "on");
}

void Param::SetDisplayText(float at, const char* text)
{
    displayTexts[static_cast<double>(at)] = text ? text : "";
}

void Param::Set(double newValue)
{
    if (kind == ParamKind::Unset) kind = ParamKind::Double;
    if (std::isnan(newValue)) return;
    value.store(newValue < min ? min : newValue > max ? max : newValue, std::memory_order_release);
}

void Param::SetNormalized(float normalized)
{
    // A non-finite host value would later be converted to an integer by the analyser.
    const double v = FromNormalized(normalized);
    if (std::isfinite(v)) value.store(v, std::memory_order_release);
}

double Param::FromNormalized(float normalized) const
{
    if (!std::isfinite(normalized)) return std::nan("");
    const double n = normalized;
    double v = min + (shape == 1.0 ? n : std::pow(n, shape)) * (max - min);
    if (kind != ParamKind::Double && step > 0.0) v = std::floor(v / step + 0.5) * step;
    if (v > max) v = max;
    return v;
}

double Param::Snapped(double plain) const
{
    if (std::isnan(plain)) return plain;
    double v = plain < min ? min : plain > max ? max : plain;
    if (kind != ParamKind::Double && step > 0.0) v = std::fmin(std::floor(v / step + 0.5) * step, max);
    return v;
}

double Param::ToNormalized(double x) const
{
    if (std::isnan(x) || !(max > min)) return 0.0;
    if (x < min) x = min;
    if (x > max) x = max;
    const double linear = (x - min) / (max - min);
    return shape == 1.0 ? linear : std::pow(linear, 1.0 / shape);
}

void Param::GetNameForHost(char* buffer) const { CopyHostText(buffer, name); }

void Param::GetLabelForHost(char* buffer) const { CopyHostText(buffer, label); }

void Param::GetDisplayText(char* buffer) const { CopyHostText(buffer, GetDisplayString()); }

std::string Param::GetDisplayString() const { return DisplayStringOf(Value()); }

std::string Param::DisplayStringOf(double shown) const
{
    const auto found = displayTexts.find(shown);
    if (found != displayTexts.end()) return found->second;
    const double v = displayNegated ? -shown : shown;
    if (shown == 0.0) return "0";
    if (precision == 0) return FormatString("%d", TruncateToInt32(v));
    return FormatString("%.*f", static_cast<int>(precision), v);
}

std::vector<std::string> Param::GetDisplayTexts() const
{
    std::vector<std::string> texts;
    if (kind != ParamKind::Bool && kind != ParamKind::Enum) return texts;
    for (const auto& entry : displayTexts) texts.push_back(entry.second);
    return texts;
}

int32_t Param::ValueForDisplayText(const std::string& text) const
{
    for (const auto& entry : displayTexts)
        if (entry.second == text) return TruncateToInt32(entry.first);
    return -1;
}

double Param::ValueForUserText(const std::string& text) const
{
    if (kind == ParamKind::Bool || kind == ParamKind::Enum) return ValueForDisplayText(text);
    const double typed = LeadingNumber(text.c_str());
    return displayNegated ? -typed : typed;
}
