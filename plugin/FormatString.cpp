// Numbers are written here rather than by printf: printf's decimal point follows the locale
// of the host's process, and a host may have set any. The text is what printf gives in the
// "C" locale, cut at the same length.
#include "plugin/FormatString.h"

#include <charconv>
#include <cmath>
#include <cstdarg>

namespace {

class Text {
public:
    static constexpr size_t kMaxLength = 254;

    void Put(const char* text, size_t n)
    {
        for (size_t i = 0; i < n && length < kMaxLength; ++i) buffer[length++] = text[i];
    }
    void Put(char c) { Put(&c, 1); }
    bool Full() const { return length == kMaxLength; }
    // Up to the first NUL, as a %c of 0 has always ended the text.
    const char* Terminated()
    {
        buffer[length] = '\0';
        return buffer;
    }

private:
    char buffer[kMaxLength + 1];
    size_t length = 0;
};

// A double's exact decimal expansion ends within this many places; past them printf writes zeros.
constexpr int kExactPlaces = 1074;

void PutFixed(Text& text, double value, int places)
{
    // Sign, 309 integer digits, the point and the places.
    char digits[1 + 309 + 1 + kExactPlaces];
    const int exact = places < kExactPlaces ? places : kExactPlaces;
    const std::to_chars_result written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, exact);
    if (written.ec != std::errc()) return;
    text.Put(digits, static_cast<size_t>(written.ptr - digits));
    if (!std::isfinite(value)) return;
    for (int i = exact; i < places && !text.Full(); ++i) text.Put('0');
}

void PutInt(Text& text, int value)
{
    char digits[16];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    text.Put(digits, static_cast<size_t>(written.ptr - digits));
}

// Reads the decimal digits at `at`, as a precision; false when they overflow.
bool ReadDigits(const char*& at, int& number)
{
    number = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (number > (INT32_MAX - 9) / 10) return false;
        number = number * 10 + (*at - '0');
    }
    return true;
}

// Writes the conversion at `at` (just past its '%'); false for one this formatter lacks, whose
// arguments are then left unread.
bool PutConversion(Text& text, const char*& at, va_list& args)
{
    int places = -1;
    if (*at == '.') {
        ++at;
        if (*at == '*') {
            ++at;
            places = va_arg(args, int);
            if (places < 0) places = -1;  // as if none was given
        } else if (!ReadDigits(at, places)) {
            return false;
        }
    }
    const char conversion = *at++;
    if (conversion == 'f') {
        PutFixed(text, va_arg(args, double), places < 0 ? 6 : places);
        return true;
    }
    if (places >= 0) return false;
    switch (conversion) {
    case '%':
        text.Put('%');
        return true;
    case 'd':
    case 'i':
        PutInt(text, va_arg(args, int));
        return true;
    case 'c':
        text.Put(static_cast<char>(va_arg(args, int)));
        return true;
    case 's': {
        const char* s = va_arg(args, const char*);
        if (!s) s = "(null)";
        while (*s && !text.Full()) text.Put(*s++);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

std::string FormatString(const char* format, ...)
{
    if (!format) return std::string();
    Text text;
    va_list args;
    va_start(args, format);
    bool understood = true;
    for (const char* at = format; *at && understood;) {
        if (*at != '%') {
            text.Put(*at++);
            continue;
        }
        ++at;
        understood = PutConversion(text, at, args);
    }
    va_end(args);
    if (!understood) return "parse error";
    try {
        return std::string(text.Terminated());
    } catch (...) {
        return "parse error";  // short enough to need no allocation
    }
}
