#include "tools/render/NumberText.h"

#include <charconv>
#include <cmath>

std::optional<double> ReadDecimal(std::string_view text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value + 0.0;  // -0 becomes 0
}

std::optional<int64_t> ReadWhole(std::string_view text)
{
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string WriteDecimal(double value, int decimals)
{
    // 309 digits before the point at most, and the decimals after it.
    char text[400];
    const auto [stop, error] = decimals < 0 ? std::to_chars(text, text + sizeof text, value)
                                            : std::to_chars(text, text + sizeof text, value,
                                                            std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, stop) : std::string("?");
}
