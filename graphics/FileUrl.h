#pragma once

#include <string>

// The file: URL of an absolute path, for the shell or a browser to open: "/usr/a b.html" gives
// "file:///usr/a%20b.html", "C:\a b.html" gives "file:///C:/a%20b.html" and "\\host\share\a.html"
// gives "file://host/share/a.html". Empty for a relative path.
std::string FileUrl(const std::string& path);
