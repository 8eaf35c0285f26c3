#include "plugin/FormatString.h"

#include <cstdarg>
#include <cstdio>

std::string FormatString(const char* format, ...)
{
    if (!format) return std::string();
    char buffer[255];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0) return "parse error";
    try {
        return std::string(buffer);
    } catch (...) {
        return "parse error";  // short enough to need no allocation
    }
}
