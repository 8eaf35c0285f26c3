// A plain, line-per-check report ending in "N passed, M failed".
#pragma once

#include <cstdio>
#include <string>

class Report {
public:
    bool Check(bool ok, const std::string& what)
    {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        std::fflush(stdout);
        (ok ? passed : failed)++;
        return ok;
    }
    void Summary() const { std::printf("%d passed, %d failed\n", passed, failed); }
    int Failed() const { return failed; }

private:
    int passed = 0;
    int failed = 0;
};
