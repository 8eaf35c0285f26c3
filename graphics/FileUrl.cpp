#include "graphics/FileUrl.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Characters that mean nothing special in a URL's path and so stand as they are.
bool StandsAsItIs(unsigned char c)
{
    if (IsLetter(static_cast<char>(c)) || (c >= '0' && c <= '9')) return true;
    for (const char* s = "-._~!$&'()*+,;=:@/"; *s; ++s)
        if (c == static_cast<unsigned char>(*s)) return true;
    return false;
}

// Windows paths are in the ANSI code page: their bytes beyond ASCII stay as they are, and
// ShellExecuteA passes them on as the characters they are; an escape would be read as UTF-8
// or as the code page depending on the program. Elsewhere a path is the file system's bytes.
std::string Escaped(const std::string& path, bool windows)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char ch : path) {
        const unsigned char c = static_cast<unsigned char>(windows && ch == '\\' ? '/' : ch);
        if (StandsAsItIs(c) || (windows && c >= 0x80)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

}  // namespace

std::string FileUrl(const std::string& path)
{
    std::string p = path;
    // The long-path forms name the same files.
    if (p.compare(0, 8, "\\\\?\\UNC\\") == 0) p = "\\\\" + p.substr(8);
    else if (p.compare(0, 4, "\\\\?\\") == 0) p = p.substr(4);
    if (p.size() >= 3 && IsLetter(p[0]) && p[1] == ':' && (p[2] == '\\' || p[2] == '/'))
        return "file:///" + Escaped(p, true);
    if (p.size() > 2 && p[0] == '\\' && p[1] == '\\') return "file://" + Escaped(p.substr(2), true);
    if (!p.empty() && p[0] == '/') return "file://" + Escaped(p, false);
    return std::string();
}
