// The live instances of this module. The editor reaches its plug-in through a pointer the
// host hands over, which may outlive the plug-in; and a host may clean the plug-in up and
// make another at the same address. So each instance gets a generation number no other
// instance of the process shares, the editor asks for (address, generation), and it holds
// the instance only for the length of one host call (a use). An instance the host cleans
// up while in use is deleted when its last use ends, on the thread that ends it.
#pragma once

#include <cstdint>

struct Lv2Instance;

namespace Lv2Instances {

// Records a new instance; its generation, or 0 when it could not be recorded.
uint64_t Add(Lv2Instance* instance);
// The host cleaned the instance up: no new use is granted, and a prompt of its editor under
// way on another thread is ended. The instance is deleted now, or when its last use ends.
void Retire(Lv2Instance* instance);
// The generation of the live instance at `address`, 0 when there is none of ours there.
uint64_t GenerationAt(const void* address);
// The instance at `address` when it is still the one of `generation`, held until Release;
// null otherwise.
Lv2Instance* Use(const void* address, uint64_t generation);
void Release(Lv2Instance* instance);

}  // namespace Lv2Instances

// A use for the length of a scope.
class Lv2InstanceUse {
public:
    Lv2InstanceUse(const void* address, uint64_t generation)
        : instance(address ? Lv2Instances::Use(address, generation) : nullptr)
    {
    }
    ~Lv2InstanceUse()
    {
        if (instance) Lv2Instances::Release(instance);
    }
    Lv2InstanceUse(const Lv2InstanceUse&) = delete;
    Lv2InstanceUse& operator=(const Lv2InstanceUse&) = delete;
    Lv2Instance* get() const { return instance; }

private:
    Lv2Instance* instance;
};
