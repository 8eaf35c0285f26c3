#pragma once

// The number a text begins with, read as C's atof reads it in the "C" locale (blanks, a sign,
// decimal or 0x hexadecimal digits, an exponent, "inf", "nan"), whatever the locale of the
// host's process: 0 when there is none, infinity when it is too large for a double.
double LeadingNumber(const char* text);
