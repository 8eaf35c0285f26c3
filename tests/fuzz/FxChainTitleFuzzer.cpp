// Arbitrary window titles up the chain of windows that holds the editor, as another
// program may set them: the FX chain's name is read from them, or nothing is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/HostServices.h"
#include "plugin/native/HostWindowTree.h"
#include "tests/fuzz/FuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // The first byte marks the windows whose title cannot be read; zero bytes end titles
    // (no title holds one), the first title being the editor's parent's, then up the chain.
    const uint8_t unreadable = data[0];
    std::vector<std::string> titles(1);
    for (size_t i = 1; i < size && titles.size() <= 8; ++i) {
        if (data[i] == 0)
            titles.emplace_back();
        else
            titles.back().push_back(static_cast<char>(data[i]));
    }

    HostWindowTree::Clear();
    void* window = nullptr;
    for (size_t i = titles.size(); i-- > 0;)
        window = HostWindowTree::Add(window, titles[i], !(unreadable >> (i % 8) & 1));
    const std::string name = FindFxChainName(window);

    // A name is always a piece of a title the window manager would answer (255 characters).
    if (!name.empty()) {
        bool found = false;
        for (size_t i = 0; i < titles.size() && !found; ++i)
            found = !(unreadable >> (i % 8) & 1) && titles[i].substr(0, 255).find(name) != std::string::npos;
        if (!found) FuzzHost::Fail("a chain name that no readable title holds");
    }
    return 0;
}
