#include "plugin/VstHost.h"

#include "plugin/PluginCore.h"

VstHost& VstHost::Shared()
{
    static VstHost host;
    return host;
}

bool VstHost::Identify(PluginCore& plug, std::string& vendor, std::string& product, int32_t& version)
{
    char vendorText[256];
    char productText[256];
    vendorText[0] = '\0';
    productText[0] = '\0';
    const VstIntPtr gotVendor = plug.CallHost(audioMasterGetVendorString, 0, 0, vendorText, 0.0f);
    const VstIntPtr gotProduct = plug.CallHost(audioMasterGetProductString, 0, 0, productText, 0.0f);
    vendorText[sizeof vendorText - 1] = '\0';
    productText[sizeof productText - 1] = '\0';
    if (gotVendor == 0 || gotProduct == 0 || (vendorText[0] == '\0' && productText[0] == '\0')) return false;
    vendor = vendorText;
    product = productText;
    version = static_cast<int32_t>(plug.CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f));
    return true;
}

void VstHost::ParameterEdited(PluginCore& plug, int32_t index, float normalized)
{
    plug.CallHost(audioMasterAutomate, index, 0, nullptr, normalized);
}

bool VstHost::ResizeEditor(PluginCore& plug, int32_t width, int32_t height)
{
    return plug.CallHost(audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}
