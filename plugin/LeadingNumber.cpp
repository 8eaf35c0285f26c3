#include "plugin/LeadingNumber.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c, bool hex)
{
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// from_chars leaves a number beyond a double's range unread; whether it was too large rather
// than too small follows from where its first non-zero digit stands and its exponent.
bool TooLarge(const char* at, const char* end, bool hex)
{
    int64_t magnitude = 0;  // integer digits from the first non-zero one; less zeros after the point
    bool point = false;
    bool nonZero = false;
    for (; at < end && (IsDigit(*at, hex) || (*at == '.' && !point)); ++at) {
        if (*at == '.') {
            point = true;
        } else if (nonZero || *at != '0') {
            nonZero = true;
            if (!point) ++magnitude;
        } else if (point) {
            --magnitude;
        }
    }
    int64_t exponent = 0;
    if (at < end && (*at == (hex ? 'p' : 'e') || *at == (hex ? 'P' : 'E'))) {
        ++at;
        const bool negative = at < end && *at == '-';
        if (at < end && (*at == '+' || *at == '-')) ++at;
        for (; at < end && *at >= '0' && *at <= '9'; ++at)
            if (exponent < INT32_MAX) exponent = exponent * 10 + (*at - '0');
        if (negative) exponent = -exponent;
    }
    return (hex ? magnitude * 4 : magnitude) + exponent > 0;
}

}  // namespace

double LeadingNumber(const char* text)
{
    if (!text) return 0.0;
    const char* at = text;
    while (IsBlank(*at)) ++at;
    const bool negative = *at == '-';
    if (*at == '+' || *at == '-') ++at;
    // from_chars reads a minus sign of its own; a second sign is no number.
    if (*at == '+' || *at == '-') return 0.0;
    const char* end = at + std::strlen(at);
    const bool hex = at[0] == '0' && (at[1] == 'x' || at[1] == 'X') &&
                     (IsDigit(at[2], true) || (at[2] == '.' && IsDigit(at[3], true)));
    if (hex) at += 2;
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(at, end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range)
        value = TooLarge(at, read.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (read.ec != std::errc())
        return 0.0;  // a sign alone is no number, not a negative zero
    return negative ? -value : value;
}
