#include "formats/lv2/Lv2Instances.h"

#include <map>
#include <mutex>

#include "formats/lv2/Lv2Instance.h"
#include "graphics/Graphics.h"
#include "plugin/PluginCore.h"

namespace {

struct Entry {
    Lv2Instance* instance = nullptr;
    uint64_t generation = 0;
    int uses = 0;
    bool retired = false;
};

// Never held while the plug-in works or the X server is called.
std::mutex lock;
uint64_t lastGeneration = 0;

std::map<const void*, Entry>& Live()
{
    static std::map<const void*, Entry> live;
    return live;
}

// The editor's window goes before the plug-in object.
void Delete(Lv2Instance* instance)
{
    if (instance->core) instance->core->CloseEditor();
    delete instance->core;
    delete instance;
}

}  // namespace

namespace Lv2Instances {

uint64_t Add(Lv2Instance* instance)
{
    std::lock_guard<std::mutex> hold(lock);
    try {
        Entry& entry = Live()[instance];
        entry.instance = instance;
        entry.generation = ++lastGeneration;
        return entry.generation;
    } catch (...) {
        return 0;
    }
}

void Retire(Lv2Instance* instance)
{
    bool now = false, inUse = false;
    {
        std::lock_guard<std::mutex> hold(lock);
        auto found = Live().find(instance);
        if (found == Live().end()) {
            now = true;
        } else if (found->second.uses == 0) {
            Live().erase(found);
            now = true;
        } else {
            found->second.retired = true;
            // Held for the call below, which is made without the lock.
            ++found->second.uses;
            inUse = true;
        }
    }
    if (now) Delete(instance);
    if (inUse) {
        // The editor is in a host call on another thread; a colour prompt there would hold
        // the instance until the user answers.
        if (Graphics* graphics = GraphicsOf(instance->core)) graphics->EndPrompts();
        Release(instance);
    }
}

uint64_t GenerationAt(const void* address)
{
    std::lock_guard<std::mutex> hold(lock);
    auto found = Live().find(address);
    return found == Live().end() || found->second.retired ? 0 : found->second.generation;
}

Lv2Instance* Use(const void* address, uint64_t generation)
{
    std::lock_guard<std::mutex> hold(lock);
    auto found = Live().find(address);
    if (found == Live().end() || found->second.retired || found->second.generation != generation) return nullptr;
    ++found->second.uses;
    return found->second.instance;
}

void Release(Lv2Instance* instance)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        auto found = Live().find(instance);
        if (found == Live().end() || --found->second.uses > 0 || !found->second.retired) return;
        Live().erase(found);
    }
    Delete(instance);
}

}  // namespace Lv2Instances
