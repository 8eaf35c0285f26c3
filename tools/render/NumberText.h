// Numbers as the tool reads them from its options and writes them in its messages: plain
// decimals with a full stop, whatever the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The whole text as a finite number ("0.5", "2e-3"; "-0" reads as 0). Nothing for empty
// text, a sign or spaces around it, trailing characters ("2x"), hex, infinity, NaN, or a
// value beyond a double's range.
std::optional<double> ReadDecimal(std::string_view text);

// The whole text as a decimal whole number; nothing when it is anything else or does not fit.
std::optional<int64_t> ReadWhole(std::string_view text);

// The value with a fixed number of decimals, as printf's "%.*f" gives it in the C locale;
// without decimals given, the shortest text that reads back as the value ("0.001", "1e-300").
std::string WriteDecimal(double value, int decimals = -1);
