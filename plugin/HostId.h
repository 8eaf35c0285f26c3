#pragma once

#include <cstdint>

// The host's identity, derived from its vendor and product strings; 0 when unknown.
// Only id 1 changes what the plug-in does.
int32_t IdentifyHost(const char* vendor, const char* product);
