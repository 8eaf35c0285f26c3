// One automatable parameter: a plain value in its own range, seen by the host as 0..1.
// The value may be set on the host's audio thread while other threads read it, so it is
// atomic; everything else is fixed once the plug-in is constructed.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class ParamKind : int32_t { Unset = 0, Bool = 1, Enum = 3, Double = 4 };

class Param {
public:
    // Longest text written into a host's buffer, terminator included. Hosts customarily
    // hand small buffers; every text this plug-in normally shows fits whole.
    static constexpr int kMaxHostText = 24;

    Param() = default;
    Param(const Param& other);
    Param& operator=(const Param& other);

    void InitDouble(const char* name, double defaultValue, double min, double max, double step,
                    const char* label);
    void InitEnum(const char* name, int defaultValue, int count);
    void InitBool(const char* name, bool defaultValue);
    void SetDisplayText(float value, const char* text);

    void Set(double value);
    void SetNormalized(float normalized);
    double GetNormalized() const { return ToNormalized(Value()); }
    double ToNormalized(double x) const;
    // The plain value SetNormalized stores for `normalized` (NaN for a non-finite one).
    double FromNormalized(float normalized) const;
    // `plain` within the range and, for on/off and list parameters, on the nearest step
    // (NaN for NaN): what a host's plain value stands for.
    double Snapped(double plain) const;

    void GetNameForHost(char* buffer) const;
    void GetLabelForHost(char* buffer) const;
    void GetDisplayText(char* buffer) const;
    std::string GetDisplayString() const;
    // The text GetDisplayString shows when the value is `shown`.
    std::string DisplayStringOf(double shown) const;
    std::vector<std::string> GetDisplayTexts() const;
    int32_t ValueForDisplayText(const std::string& text) const;
    // The plain value a user's typed or chosen text stands for: a drop-list text for on/off
    // and enumerated parameters (-1 when none matches), otherwise the text's leading number
    // (0 when there is none). Not clamped: ToNormalized does that.
    double ValueForUserText(const std::string& text) const;

    ParamKind Kind() const { return kind; }
    double Value() const { return value.load(std::memory_order_acquire); }
    double Min() const { return min; }
    double Max() const { return max; }
    double Step() const { return step; }
    int32_t Precision() const { return precision; }
    const std::string& Name() const { return name; }
    const std::string& Label() const { return label; }

private:
    ParamKind kind = ParamKind::Unset;
    std::atomic<double> value{0.0};
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    int32_t precision = 0;
    std::map<double, std::string> displayTexts;
    std::string name;
    std::string label;
    bool displayNegated = false;
};
