#pragma once

#include <string>

// printf-style formatting for labels, captions and readouts, the same in every locale: the
// "C" locale's text, at most 254 characters. It knows %d, %i, %c, %s, %% and %f with an
// optional precision (".N" or ".*"); any other conversion gives "parse error".
std::string FormatString(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
