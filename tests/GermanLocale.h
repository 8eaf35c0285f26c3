// The process's locale set as a host in Germany sets it (setlocale(LC_ALL, "")): a decimal
// comma. The "C" locale is back when the guard goes.
#pragma once

#include <gtest/gtest.h>

#include <clocale>

class GermanLocale {
public:
    GermanLocale() : active(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool Active() const { return active; }

private:
    bool active;
};

#define SKIP_WITHOUT_GERMAN_LOCALE(guard) \
    if (!(guard).Active()) GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine (tools/setup-debian.sh makes it)"
