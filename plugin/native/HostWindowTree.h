// The native build's stand-in for the host's windows: a tree of titled windows that tests
// build, and the commands posted to them, kept for the test to take.
#pragma once

#include <string>
#include <vector>

struct HostWindowTree {
    struct PostedCommand {
        void* window;
        int command;
    };

    // A new window under `parent` (null: top level); its handle. An unreadable window
    // answers no title, as one of another process that does not respond.
    static void* Add(void* parent, const std::string& title, bool readable = true);
    // Forgets every window and every posted command.
    static void Clear();
    // The commands posted since the last call, oldest first.
    static std::vector<PostedCommand> TakePosted();
};
