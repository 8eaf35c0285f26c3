#include "plugin/HostId.h"

#include <cctype>
#include <string>

static std::string Lowered(const char* text)
{
    std::string copy = text ? text : "";
    for (char& c : copy) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return copy;
}

int32_t IdentifyHost(const char* vendor, const char* product)
{
    const std::string v = Lowered(vendor);
    const std::string p = Lowered(product);
    auto has = [](const std::string& s, const char* word) { return s.find(word) != std::string::npos; };
    if (has(p, "reaper")) return 1;
    if (has(p, "cubase")) return 3;
    if (has(p, "nuendo")) return 4;
    if (has(p, "cakewalk")) return 5;
    if (has(p, "samplitude")) return 8;
    if (has(v, "fruity")) return 7;
    if (has(v, "ableton") && has(p, "live")) return 9;
    if (has(p, "melodyne")) return 12;
    if (has(p, "vstmanlib")) return 13;
    return 0;
}
