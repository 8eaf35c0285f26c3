// The library's entry: the one plug-in it holds, its descriptor and the factory that makes it.
#include <atomic>
#include <cstring>

#include "analyser/ProductIdentity.h"
#include "formats/clap/ClapInstance.h"

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_ANALYZER,
                                 CLAP_PLUGIN_FEATURE_STEREO, nullptr};

// init and deinit pair up, though a careless host may call either more often.
std::atomic<int> users{0};

bool EntryInit(const char*)
{
    ++users;
    return true;
}

void EntryDeinit()
{
    int now = users.load();
    while (now > 0 && !users.compare_exchange_weak(now, now - 1)) {
    }
}

uint32_t PluginCount(const clap_plugin_factory_t* factory) { return factory ? 1 : 0; }

const clap_plugin_descriptor_t* Descriptor(const clap_plugin_factory_t* factory, uint32_t index)
{
    return factory && index == 0 ? &kClapDescriptor : nullptr;
}

const clap_plugin_t* Create(const clap_plugin_factory_t* factory, const clap_host_t* host, const char* id)
{
    if (!factory || !host || !id || !ClapVersionIsCompatible(host->clap_version)) return nullptr;
    if (std::strcmp(id, kClapDescriptor.id) != 0) return nullptr;
    return CreateClapPlugin(host);
}

const clap_plugin_factory_t kFactory = {PluginCount, Descriptor, Create};

const void* Factory(const char* id)
{
    return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

const clap_plugin_descriptor_t kClapDescriptor = {
    CLAP_VERSION,          ProductIdentity::kClapId,  ProductIdentity::kName,
    ProductIdentity::kVendor, "",                     "",
    "",                    ProductIdentity::kVersion, ProductIdentity::kDescription,
    kFeatures};

extern "C" {
#if defined(_WIN32)
// Exported by name through the module definition file.
extern const clap_plugin_entry_t clap_entry;
#else
extern __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry;
#endif
const clap_plugin_entry_t clap_entry = {CLAP_VERSION, EntryInit, EntryDeinit, Factory};
}
