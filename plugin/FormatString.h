#pragma once

#include <string>

// printf-style formatting for labels, captions and readouts; at most 254 characters.
std::string FormatString(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
