#include "FakeHost.h"

#include <cstring>

#include "plugin/VstShell.h"

std::string FakeHost::vendor;
std::string FakeHost::product;
VstIntPtr FakeHost::version = 0;
std::vector<HostCall> FakeHost::calls;
VstIntPtr FakeHost::sizeWindowAnswer = 1;
std::map<std::string, VstIntPtr> FakeHost::functions;

void FakeHost::Reset(const char* newVendor, const char* newProduct)
{
    vendor = newVendor;
    product = newProduct;
    version = 4321;
    sizeWindowAnswer = 1;
    calls.clear();
    functions.clear();
}

VstIntPtr VSTCALLBACK FakeHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt)
{
    HostCall call{opcode, index, value, opt, {}, effect, {}};
    VstIntPtr answer = 0;
    if (opcode == kLookupOpcode && index == kLookupIndex && ptr) {
        call.name = static_cast<const char*>(ptr);
        auto found = functions.find(call.name);
        answer = found == functions.end() ? 0 : found->second;
    }
    switch (opcode) {
    case audioMasterGetVendorString:
        std::strcpy(static_cast<char*>(ptr), vendor.c_str());
        answer = 1;
        break;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), product.c_str());
        answer = 1;
        break;
    case audioMasterGetVendorVersion:
        answer = version;
        break;
    case audioMasterSizeWindow:
        answer = sizeWindowAnswer;
        break;
    case audioMasterProcessEvents: {
        auto* block = static_cast<VstEvents*>(ptr);
        for (int i = 0; i < block->numEvents; ++i) call.events.push_back(*block->events[i]);
        answer = 1;
        break;
    }
    default:
        break;
    }
    calls.push_back(call);
    return answer;
}

size_t FakeHost::Count(VstInt32 opcode)
{
    size_t n = 0;
    for (const auto& call : calls) n += call.opcode == opcode;
    return n;
}

PluginUnderTest::PluginUnderTest() : effect(VSTPluginMain(FakeHost::Callback)) {}

PluginUnderTest::~PluginUnderTest()
{
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

std::vector<uint8_t> PluginUnderTest::GetChunk() const
{
    void* data = nullptr;
    const VstIntPtr n = Dispatch(effGetChunk, 0, 0, &data);
    if (n <= 0 || !data) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + n);
}

VstIntPtr PluginUnderTest::SetChunk(const std::vector<uint8_t>& chunk) const
{
    std::vector<uint8_t> copy = chunk;
    return Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.empty() ? nullptr : copy.data());
}
